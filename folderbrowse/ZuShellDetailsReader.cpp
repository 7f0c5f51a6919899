#include "folderbrowse/ZuShellDetailsReader.h"

#include <algorithm>
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
    std::vector<UniquePIDL> fresh;
    folder_->ReadFacts(std::span<const IDListSpan>(items_.data() + first, count), fresh);
    if (Terminated()) return;
    Synchronize([&] {
      if (onChunk_) onChunk_(first, std::move(fresh));
    });
  }
  if (!Terminated()) Synchronize([&] {
      if (onDone_) onDone_();
    });
}

}  // namespace tavo
