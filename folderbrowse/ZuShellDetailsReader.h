// A worker that reads what a folder listing left out (sizes, times,
// read-only) for the items of a file list, a chunk at a time, and hands each
// chunk to the UI thread, so that a large folder shows its names at once
// and its details as they come.
//
// The reader copies the items' IDs when it is made and reads them through
// the folder (ShellFolder::ReadFacts) on its own thread. Each chunk arrives
// on the UI thread through a synchronised call; the end too. Stop clears
// both callbacks, so nothing arrives after it. Like the watchers, the
// reader frees itself when it ends; its owner never deletes it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/shell/ShellNamespace.h"
#include "platform/ui/Thread.h"

namespace tavo {

class TShDetailsReader final : public ui::TThread {
 public:
  // `facts[k]` belongs to item first + k (not known where it is gone).
  using TChunkEvent = std::function<void(std::size_t first, std::vector<FsEntryFacts> facts)>;
  using TDoneEvent = std::function<void()>;

  // Items read per chunk, and the threads that share a chunk.
  static constexpr std::size_t kChunk = 8192;
  static constexpr std::size_t kThreads = 4;

  // Starts reading `items` (children of `folder`). Throws EOSError when the
  // system gives no thread.
  TShDetailsReader(ShellFolderPtr folder, const std::vector<IDListSpan>& items, TChunkEvent onChunk,
                   TDoneEvent onDone);

  // UI thread: no further chunk or end arrives; the worker ends soon.
  void Stop();

 private:
  ~TShDetailsReader() override = default;
  void Execute() override;

  const ShellFolderPtr folder_;
  std::string ids_;                // the items' IDs, one after the other
  std::vector<IDListSpan> items_;  // into ids_
  TChunkEvent onChunk_;            // UI thread only
  TDoneEvent onDone_;              // UI thread only
};

}  // namespace tavo
