#pragma once
// Decoded pictures held once each with a use count, so that the repeated
// copies of one background picture, or one badge placed many times, cost one
// picture. Finding an equal picture costs one hash of its pixels.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "imaging/picture.h"

namespace pictorin {

class PictureStore {
 public:
  struct Entry {
    Picture picture;
    std::vector<bool> opaque_frames;  // frame i has transparency 0 throughout
    std::uint64_t hash = 0;
    int uses = 0;
  };

  // Adds one use of the picture: of an equal stored one if there is one
  // (the given picture is then dropped), else of a new entry.
  Entry* Add(Picture picture);

  // One more use of an entry already held.
  Entry* AddUse(Entry* entry);

  // Gives back one use; the entry is freed at 0. Null is ignored.
  void Release(Entry* entry);

  std::size_t size() const;

 private:
  std::unordered_multimap<std::uint64_t, std::unique_ptr<Entry>> entries_;
};

}  // namespace pictorin
