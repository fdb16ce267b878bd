#include "controls/picture_store.h"

#include <algorithm>
#include <cstring>

namespace pictorin {
namespace {

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
  hash ^= word;
  hash *= 0x9E3779B97F4A7C15ull;
  return hash ^ (hash >> 29);
}

// A hash of everything that makes two pictures equal: size, frame count,
// and each frame's transparent colour, delay and pixels.
std::uint64_t HashPicture(const Picture& picture) {
  std::uint64_t hash = Mix(Mix(Mix(0, static_cast<std::uint32_t>(picture.width)),
                               static_cast<std::uint32_t>(picture.height)),
                           picture.frames.size());
  for (const Frame& frame : picture.frames) {
    hash = Mix(Mix(hash, frame.transparent), static_cast<std::uint32_t>(frame.delay_ms));
    const std::uint8_t* pixels = frame.pixels.data();
    const std::size_t size = frame.pixels.size();
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, pixels + i, 8);
      hash = Mix(hash, word);
    }
    for (; i < size; ++i) hash = Mix(hash, pixels[i]);
  }
  return hash;
}

bool SamePicture(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height || a.frames.size() != b.frames.size()) return false;
  for (std::size_t i = 0; i < a.frames.size(); ++i) {
    const Frame& fa = a.frames[i];
    const Frame& fb = b.frames[i];
    if (fa.transparent != fb.transparent || fa.delay_ms != fb.delay_ms || fa.pixels != fb.pixels) return false;
  }
  return true;
}

bool IsOpaque(const Frame& frame) {
  for (std::size_t i = 3; i < frame.pixels.size(); i += 4) {
    if (frame.pixels[i] != 0) return false;
  }
  return true;
}

}  // namespace

PictureStore::Entry* PictureStore::Add(Picture picture) {
  const std::uint64_t hash = HashPicture(picture);
  auto [first, last] = entries_.equal_range(hash);
  for (auto it = first; it != last; ++it) {
    if (SamePicture(it->second->picture, picture)) return AddUse(it->second.get());
  }
  auto entry = std::make_unique<Entry>();
  for (const Frame& frame : picture.frames) entry->opaque_frames.push_back(IsOpaque(frame));
  entry->picture = std::move(picture);
  entry->hash = hash;
  entry->uses = 1;
  return entries_.emplace(hash, std::move(entry))->second.get();
}

PictureStore::Entry* PictureStore::AddUse(Entry* entry) {
  ++entry->uses;
  return entry;
}

void PictureStore::Release(Entry* entry) {
  if (!entry || --entry->uses > 0) return;
  auto [first, last] = entries_.equal_range(entry->hash);
  for (auto it = first; it != last; ++it) {
    if (it->second.get() == entry) {
      entries_.erase(it);
      return;
    }
  }
}

std::size_t PictureStore::size() const { return entries_.size(); }

}  // namespace pictorin
