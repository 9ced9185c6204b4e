#include "parse/records.h"

#include <algorithm>
#include <memory>

namespace ov::parse {

namespace {

constexpr std::size_t kFirstFields = 128;   // a short answer's records fit
constexpr std::size_t kBlockFields = 2048;  // some 80 KB: kept in the heap, not mapped

}  // namespace

Records::Records(std::size_t width)
    : width_(width), first_(std::max<std::size_t>(2, kFirstFields / std::max<std::size_t>(width, 1))) {
  const std::size_t most = kBlockFields / std::max<std::size_t>(width, 1) / first_;
  doublings_ = most == 0 ? 0 : static_cast<std::size_t>(std::bit_width(most)) - 1;
}

Records::Records(const Records& other) : Records(other.width_) {
  kept_ = other.kept_;
  for (const Row row : other) std::ranges::copy(row, add().begin());
}

Records& Records::operator=(const Records& other) {
  if (this != &other) *this = Records(other);
  return *this;
}

Records::Records(Records&& other) noexcept
    : width_(other.width_), first_(other.first_), doublings_(other.doublings_),
      size_(std::exchange(other.size_, 0)), capacity_(std::exchange(other.capacity_, 0)),
      blocks_(std::move(other.blocks_)), kept_(std::move(other.kept_)) {
  other.blocks_.clear();
}

Records& Records::operator=(Records&& other) noexcept {
  if (this != &other) {
    release();
    width_ = other.width_;
    first_ = other.first_;
    doublings_ = other.doublings_;
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    blocks_ = std::move(other.blocks_);
    other.blocks_.clear();
    kept_ = std::move(other.kept_);
  }
  return *this;
}

Records::~Records() { release(); }

void Records::release() {
  for (std::size_t row = 0; row < size_; ++row) std::destroy_n(place(row), width_);
  std::allocator<Field> allocator;
  for (std::size_t k = 0; k < blocks_.size(); ++k) allocator.deallocate(blocks_[k], block_rows(k) * width_);
  blocks_.clear();
  size_ = capacity_ = 0;
}

std::span<Field> Records::add() {
  if (size_ == capacity_) {
    const std::size_t rows = block_rows(blocks_.size());
    blocks_.reserve(blocks_.size() + 1);
    blocks_.push_back(std::allocator<Field>().allocate(rows * width_));
    capacity_ += rows;
  }
  Field* const fields = place(size_);
  std::uninitialized_value_construct_n(fields, width_);
  ++size_;
  return {fields, width_};
}

void Records::add(std::vector<Field> fields) {
  const std::span<Field> row = add();
  std::ranges::move(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(std::min(fields.size(), width_)),
                    row.begin());
}

std::vector<std::vector<Field>> Records::rows() const {
  std::vector<std::vector<Field>> out;
  out.reserve(size_);
  for (const Row row : *this) out.emplace_back(row.begin(), row.end());
  return out;
}

std::string_view Records::keep(std::string text) {
  kept_.push_back(std::make_shared<const std::string>(std::move(text)));
  return *kept_.back();
}

void Records::keep(std::shared_ptr<const std::string> text) { kept_.push_back(std::move(text)); }

}  // namespace ov::parse
