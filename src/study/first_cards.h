#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "study/card_pool.h"

namespace qev {

// The at most `room` cards (or what names them) first of those offered, in
// the order of their keys (lowest first), for a scheduler that looks at
// every card of a pool but asks a few. A heap whose top is the last of them, so that a card
// behind it costs a comparison and no copy. Equal keys keep no order: give
// the key a tie-breaker where the order matters.
template <typename Key, typename Item = Card>
class FirstCards {
 public:
  explicit FirstCards(std::size_t room) : room_(room) {}

  void Offer(const Key& key, const Item& card) {
    if (room_ == 0) return;
    if (heap_.size() == room_) {
      if (!(key < heap_.front().key)) return;
      std::pop_heap(heap_.begin(), heap_.end(), Before);
      heap_.back() = {key, card};
    } else {
      heap_.push_back({key, card});
    }
    std::push_heap(heap_.begin(), heap_.end(), Before);
  }

  // Appends at most `n` of them to `cards`, in order, and forgets them.
  void AppendTo(std::vector<Item>& cards, std::size_t n) {
    std::sort_heap(heap_.begin(), heap_.end(), Before);
    for (std::size_t i = 0; i < heap_.size() && i < n; ++i)
      cards.push_back(std::move(heap_[i].card));
    heap_.clear();
  }

 private:
  struct Entry {
    Key key;
    Item card;
  };
  static bool Before(const Entry& a, const Entry& b) { return a.key < b.key; }

  std::size_t room_;
  std::vector<Entry> heap_;
};

}  // namespace qev
