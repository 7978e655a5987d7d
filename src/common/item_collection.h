// A keyed collection of named 32-bit values: the files of a server listing
// with their attribute words. Positions count from 1; names are unique.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarvo {

// One name and its attribute word; the tests read the standard file
// attribute bits.
class clsItem {
public:
    clsItem() = default;
    clsItem(std::string name, std::uint32_t value) : name_(std::move(name)), value_(value) {}

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    std::uint32_t Value() const { return value_; }
    void SetValue(std::uint32_t value) { value_ = value; }

    static constexpr std::uint32_t kReadOnly = 0x1, kHidden = 0x2, kSystem = 0x4, kDirectory = 0x10, kArchive = 0x20,
                                   kNormal = 0x80, kTemporary = 0x100, kCompressed = 0x800, kOffline = 0x1000;
    bool ReadOnly() const { return (value_ & kReadOnly) != 0; }
    bool Hidden() const { return (value_ & kHidden) != 0; }
    bool System() const { return (value_ & kSystem) != 0; }
    bool Directory() const { return (value_ & kDirectory) != 0; }
    bool Archive() const { return (value_ & kArchive) != 0; }
    bool Normal() const { return (value_ & kNormal) != 0; }
    bool Temporary() const { return (value_ & kTemporary) != 0; }
    bool Compressed() const { return (value_ & kCompressed) != 0; }
    bool Offline() const { return (value_ & kOffline) != 0; }

private:
    std::string name_;
    std::uint32_t value_ = 0;
};

class colItem {
public:
    // Adds an item under its name and returns it; nullptr, and nothing
    // added, when the name is a key already.
    const clsItem* Add(const std::string& name, std::uint32_t value);
    void Clear();
    std::size_t Count() const { return items_.size(); }
    // Removes the item at `position` (1 to Count); any other does nothing.
    void Remove(std::size_t position);
    // The item at `position` or of that name; nullptr when there is none.
    const clsItem* Item(std::size_t position) const;
    const clsItem* Item(const std::string& name) const;

    std::vector<clsItem>::const_iterator begin() const { return items_.begin(); }
    std::vector<clsItem>::const_iterator end() const { return items_.end(); }

private:
    std::vector<clsItem> items_;
    std::unordered_map<std::string, std::size_t> positions_;  // name -> index in items_
};

}  // namespace tarvo
