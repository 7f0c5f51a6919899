#include "folderbrowse/ZuShellDetailsReader.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace tavo {

TShDetailsReader::TShDetailsReader(ShellFolderPtr folder, const std::vector<IDListSpan>& items,
                                   TChunkEvent onChunk, TDoneEvent onDone)
    : folder_(std::move(folder)), onChunk_(std::move(onChunk)), onDone_(std::move(onDone)) {
  // One copy of all IDs: the list may free its items meanwhile.
  std::vector<std::size_t> offsets;
  offsets.reserve(items.size());
  for (const IDListSpan& item : items) {
    offsets.push_back(ids_.size());
    const std::size_t size = ValidIDListSize(item);
    if (size == 0) {
      ids_.append(2, '\0');  // the empty list: read as nothing
      continue;
    }
    ids_.append(reinterpret_cast<const char*>(item.p), size);
  }
  const auto* base = reinterpret_cast<PCItemIDList>(ids_.data());
  items_.reserve(items.size());
  for (const std::size_t at : offsets) items_.push_back({base + at, ids_.size() - at});
  Start();
}

void TShDetailsReader::Stop() {
  onChunk_ = nullptr;
  onDone_ = nullptr;
  Terminate();
}

void TShDetailsReader::Execute() {
  for (std::size_t first = 0; first < items_.size() && !Terminated(); first += kChunk) {
    const std::size_t count = std::min(kChunk, items_.size() - first);
    // A look at each entry waits mostly on the file system: a few threads
    // share each chunk.
    std::vector<FsEntryFacts> facts(count);
    const std::size_t parts = std::min<std::size_t>(kThreads, (count + 511) / 512);
    auto readPart = [&](std::size_t part) {
      const std::size_t begin = count * part / parts, end = count * (part + 1) / parts;
      std::vector<FsEntryFacts> read;
      folder_->ReadFacts(std::span<const IDListSpan>(items_.data() + first + begin, end - begin), read);
      std::copy(read.begin(), read.end(), facts.begin() + static_cast<std::ptrdiff_t>(begin));
    };
    std::vector<std::thread> helpers;
    for (std::size_t part = 1; part < parts; ++part) helpers.emplace_back(readPart, part);
    readPart(0);
    for (std::thread& t : helpers) t.join();
    if (Terminated()) return;
    Synchronize([&] {
      if (onChunk_) onChunk_(first, std::move(facts));
    });
  }
  if (!Terminated()) Synchronize([&] {
      if (onDone_) onDone_();
    });
}

}  // namespace tavo
