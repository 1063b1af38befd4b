#pragma once
// An unsorted list of (key, item) entries that keeps insertion order, compares
// keys without regard to letter case and finds a key through a hash. Duplicate
// keys are allowed; a lookup finds the first.

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/FoldCase.h"

template <typename T>
class THashedStringList {
 public:
  struct TEntry {
    std::string Key;
    T Item;
  };

  int Count() const { return static_cast<int>(FEntries.size()); }
  const TEntry& At(int index) const { return FEntries[static_cast<std::size_t>(index)]; }
  TEntry& At(int index) { return FEntries[static_cast<std::size_t>(index)]; }

  void Add(std::string key, T item) {
    const std::string folded = FoldCase(key);
    FEntries.push_back({std::move(key), std::move(item)});
    if (FIndexValid) FIndex.emplace(folded, FEntries.size() - 1);  // keeps an earlier twin
  }

  // Index of the first entry with this key, or -1.
  int IndexOf(const std::string& key) const {
    if (!FIndexValid) Reindex();
    const auto it = FIndex.find(FoldCase(key));
    return it == FIndex.end() ? -1 : static_cast<int>(it->second);
  }

  void Delete(int index) {
    FEntries.erase(FEntries.begin() + index);
    FIndexValid = false;
  }

  void Clear() {
    FEntries.clear();
    FIndex.clear();
    FIndexValid = true;
  }

 private:
  void Reindex() const {
    FIndex.clear();
    for (std::size_t i = 0; i < FEntries.size(); ++i) FIndex.emplace(FoldCase(FEntries[i].Key), i);
    FIndexValid = true;
  }

  std::vector<TEntry> FEntries;
  mutable std::unordered_map<std::string, std::size_t> FIndex;
  mutable bool FIndexValid = true;
};
