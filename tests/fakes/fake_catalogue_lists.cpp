#include "fakes/fake_catalogue_lists.h"

#include "fakes/fake_platform.h"

namespace proclens::fakes {

void RecordingItemList::InsertItem(std::size_t position, ProcessItem item) {
  if (position > items.size()) {
    insert_out_of_range = true;
    position = items.size();
  }
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
}

void RecordingItemList::AppendItem(ProcessItem item) { items.push_back(std::move(item)); }

int RecordingImageList::AddIcon(const Icon& icon) {
  if (fail_additions) return -1;
  const auto* fake = dynamic_cast<const FakeIcon*>(&icon);
  images.push_back(fake ? fake->name() : std::string("foreign icon"));
  return static_cast<int>(images.size()) - 1;
}

void RecordingImageList::RemoveLastImage() {
  if (!images.empty()) images.pop_back();
}

}  // namespace proclens::fakes
