// The records of a parse, as one table: a record is a row of fields in the
// template's header order. Rows live in blocks built only as rows are added,
// each twice the one before up to some thousands of fields (below the size
// that the allocator maps afresh from the system): saving a record allocates
// nothing of its own, adding rows moves none, and a short answer's handful
// of records costs one small block. Their texts view text that the records
// keep alive (the input of a parse), so that a record copies no text.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace ov::parse {

// The named groups of a List value's regex, matched again on one assigned
// text: each name with its text, or nothing when the group took no part.
using Groups = std::vector<std::pair<std::string, std::optional<std::string>>>;

// One item of a List value: nothing (a rule matched without the value's
// group taking part), its text, or, when the value's regex names groups,
// those groups (the text alone when that regex does not match it by itself).
using ListItem = std::variant<std::monostate, std::string_view, Groups>;

// A value of a record: a text; a List's texts; a List's items when its regex
// names groups or an item is nothing. Texts view what their Records keep.
using Field = std::variant<std::string_view, std::vector<std::string_view>, std::vector<ListItem>>;

class Records {
 public:
  using Row = std::span<const Field>;

  // Records of `width` fields each.
  explicit Records(std::size_t width = 0);
  Records(const Records& other);
  Records& operator=(const Records& other);
  Records(Records&& other) noexcept;
  Records& operator=(Records&& other) noexcept;
  ~Records();

  std::size_t width() const { return width_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  Row operator[](std::size_t row) const { return {place(row), width_}; }
  std::span<Field> operator[](std::size_t row) { return {place(row), width_}; }

  // A new last row, every field an empty text.
  std::span<Field> add();

  // A row of `fields`, which must be as many as the width; their texts must
  // be kept by these records (keep) or outlive them.
  void add(std::vector<Field> fields);

  class Iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = Row;
    using difference_type = std::ptrdiff_t;
    Iterator() = default;
    Iterator(const Records* records, std::size_t row) : records_(records), row_(row) {}
    Row operator*() const { return (*records_)[row_]; }
    Iterator& operator++() {
      ++row_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++row_;
      return before;
    }
    bool operator==(const Iterator& other) const { return row_ == other.row_; }

   private:
    const Records* records_ = nullptr;
    std::size_t row_ = 0;
  };
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size_}; }

  // Every row whole, for comparing with records written out.
  std::vector<std::vector<Field>> rows() const;

  // Keeps `text` while these records or a copy of them live, for fields to
  // view; the view of the kept text.
  std::string_view keep(std::string text);

  // The same for a text that fields view already (the input they were read from).
  void keep(std::shared_ptr<const std::string> text);

 private:
  // Block k < doublings_ holds first_ << k rows, from row first_ * (2^k - 1)
  // on; every later block, first_ << doublings_ rows.
  Field* place(std::size_t row) const {
    const std::size_t doubled = first_ * ((std::size_t{1} << doublings_) - 1);
    if (row < doubled) {
      const std::size_t k = static_cast<std::size_t>(std::bit_width(row / first_ + 1)) - 1;
      return blocks_[k] + (row - first_ * ((std::size_t{1} << k) - 1)) * width_;
    }
    const std::size_t full = first_ << doublings_;
    return blocks_[doublings_ + (row - doubled) / full] + (row - doubled) % full * width_;
  }
  std::size_t block_rows(std::size_t k) const { return first_ << std::min(k, doublings_); }
  void release();

  std::size_t width_ = 0;
  std::size_t first_ = 1;      // rows of the first block
  std::size_t doublings_ = 0;  // blocks before they stop growing
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;   // rows of all blocks
  std::vector<Field*> blocks_;  // owned; fields built only in rows below size_
  std::vector<std::shared_ptr<const std::string>> kept_;  // what the texts view
};

}  // namespace ov::parse
