#pragma once
// A byte text that is nearly always a few characters (an hour, a minute, a
// duration). Up to kInline bytes live inside the pointer-sized object, so
// copying one copies a word and allocates nothing; a longer text is kept on
// the heap unchanged, so every text comes back byte for byte.

#include <bit>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace almanary {

class ShortText {
public:
    static constexpr std::size_t kInline = sizeof(std::string*) - 1;

    ShortText() noexcept { setInline({}); }
    // Allocates (and may throw std::bad_alloc) only beyond kInline bytes.
    explicit ShortText(std::string_view text) {
        if (text.size() <= kInline) {
            setInline(text);
        } else {
            setHeap(new std::string(text));
        }
    }
    ShortText(const ShortText& other) {
        if (other.onHeap()) {
            setHeap(new std::string(*other.heap()));
        } else {
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        }
    }
    ShortText(ShortText&& other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        other.setInline({});
    }
    ShortText& operator=(const ShortText& other) {
        if (this != &other)
            *this = ShortText(other);  // a failed copy leaves this as it was
        return *this;
    }
    ShortText& operator=(ShortText&& other) noexcept {
        if (this != &other) {
            release();
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
            other.setInline({});
        }
        return *this;
    }
    ~ShortText() { release(); }

    std::string_view view() const noexcept {
        if (onHeap())
            return *heap();
        const auto size = static_cast<std::size_t>(static_cast<unsigned char>(bytes_[kTag]) >> 1);
        return {bytes_ + kText, size};
    }
    bool operator==(const ShortText& other) const noexcept { return view() == other.view(); }

private:
    // The object holds either a pointer to a heap string or, inline, a tag
    // byte (size * 2 + 1) and the text. The tag sits where the pointer's
    // lowest byte is, and that byte is even for any heap string, so the
    // lowest bit tells the two apart.
    static_assert(alignof(std::string) >= 2);
    static_assert(std::endian::native == std::endian::little ||
                  std::endian::native == std::endian::big);
    static constexpr bool kLittle = std::endian::native == std::endian::little;
    static constexpr std::size_t kTag = kLittle ? 0 : sizeof(std::string*) - 1;
    static constexpr std::size_t kText = kLittle ? 1 : 0;

    bool onHeap() const noexcept { return (static_cast<unsigned char>(bytes_[kTag]) & 1) == 0; }
    std::string* heap() const noexcept {
        std::string* text = nullptr;
        std::memcpy(&text, bytes_, sizeof text);
        return text;
    }
    void setInline(std::string_view text) noexcept {
        std::memset(bytes_, 0, sizeof bytes_);
        if (!text.empty())
            std::memcpy(bytes_ + kText, text.data(), text.size());
        bytes_[kTag] = static_cast<char>(text.size() * 2 + 1);
    }
    void setHeap(std::string* text) noexcept { std::memcpy(bytes_, &text, sizeof text); }
    void release() noexcept {
        if (onHeap())
            delete heap();
    }

    alignas(std::string*) char bytes_[sizeof(std::string*)];
};

}  // namespace almanary
