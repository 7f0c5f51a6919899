/* libTavo32Lib: converts NABCC braille text (one ASCII byte 0x20-0x5F per
 * braille cell) into CP932 kana text with cell characters.
 *
 * Exports, with the ordinals the library has always had (Linux has no
 * ordinals; they are listed so that callers of other builds can match them):
 *   1 CnvNABCCtoKANA   2 CnvInit   3 TavoLibTerminate   4 TavoLibInitialize
 *   5 CnvSourceCells (newer builds only: callers look it up by name and do
 *     without it where it is missing)
 *
 * Lifetime: TavoLibInitialize creates the one converter, TavoLibTerminate
 * frees it. Outside that span CnvNABCCtoKANA answers 0 with an empty text and
 * CnvInit does nothing; a second TavoLibInitialize keeps the converter.
 *
 * The result text of CnvNABCCtoKANA belongs to the library. It stays valid
 * until the next call into the library or TavoLibTerminate; copy it before
 * that and never free or change it. It may be passed back in as the source.
 *
 * Not thread-safe: one converter, changed by every call (CnvSourceCells
 * excepted: it reads constant tables only). No C++ exception leaves the
 * library.
 */
#ifndef TAVO32LIB_H
#define TAVO32LIB_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TAVO32LIB_API __attribute__((visibility("default")))

/* Low byte of option: nonzero keeps voiced and semi-voiced prefix cells as
 * their cell characters (one output character per cell). High byte: unused.
 * source: NUL-terminated bytes (NULL converts as empty). result: receives the
 * address of the NUL-terminated result (never NULL; nothing is stored when
 * result itself is NULL). Returns the result's length in bytes. */
TAVO32LIB_API int32_t CnvNABCCtoKANA(const char* source, char** result, uint16_t option);

/* Which source bytes can make CnvNABCCtoKANA, with this option, write the
 * CP932 character `character` (NUL-terminated, exactly one character):
 * cells[b] (256 bytes) becomes 1 for each such byte b and 0 for every other.
 * A result that holds the character where one of its characters begins was
 * converted from a source holding one of those bytes, so a caller may pass
 * over lines without any of them. Returns 1; 0 when it cannot tell (not one
 * character), with every cell 1. Works without TavoLibInitialize. */
TAVO32LIB_API int32_t CnvSourceCells(const char* character, uint8_t* cells, uint16_t option);

/* Clears the bracket state of the converter. Every conversion clears it
 * itself, so this changes no later result. */
TAVO32LIB_API void CnvInit(void);

/* Frees the converter. Always answers nonzero (true). */
TAVO32LIB_API int TavoLibTerminate(void);

/* Creates the converter. Always answers nonzero (true). */
TAVO32LIB_API int TavoLibInitialize(void);

typedef int32_t (*TCnvNABCCtoKANA)(const char*, char**, uint16_t);
typedef int32_t (*TCnvSourceCells)(const char*, uint8_t*, uint16_t);
typedef void (*TCnvInit)(void);
typedef int (*TTavoLibTerminate)(void);
typedef int (*TTavoLibInitialize)(void);

#ifdef __cplusplus
}
#endif

#endif
