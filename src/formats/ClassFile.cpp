// What a Java class file names and holds: read from its constant pool.
#include "formats/ClassFile.h"

#include <algorithm>
#include <bit>

#include "base/Hash.h"

namespace tc {

namespace {

enum Tag : std::uint8_t {
  kUtf8 = 1, kInteger = 3, kFloat = 4, kLong = 5, kDouble = 6, kClass = 7, kString = 8, kFieldRef = 9,
  kMethodRef = 10, kInterfaceMethodRef = 11, kNameAndType = 12, kMethodHandle = 15, kMethodType = 16,
  kDynamic = 17, kInvokeDynamic = 18, kModule = 19, kPackage = 20,
};

// Reads forward; any read past the end leaves it failed and every later read returns 0.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Ok() const { return ok_; }
  std::size_t At() const { return at_; }
  bool Skip(std::uint64_t count) {
    ok_ = ok_ && count <= bytes_.size() - at_;
    if (ok_) at_ += static_cast<std::size_t>(count);
    return ok_;
  }
  std::uint32_t Number(int width) {
    const std::size_t from = at_;
    if (!Skip(width)) return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) value = value << 8 | bytes_[from + i];
    return value;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

enum Use : std::uint8_t { kName = 1, kDescriptor = 2 };

// The bytes in front of each constant's own data, by tag; 0 for tags the format does not have.
std::uint32_t DataLength(std::uint8_t tag) {
  switch (tag) {
    case kClass: case kString: case kMethodType: case kModule: case kPackage: return 2;
    case kMethodHandle: return 3;
    case kInteger: case kFloat: case kFieldRef: case kMethodRef: case kInterfaceMethodRef: case kNameAndType:
    case kDynamic: case kInvokeDynamic: return 4;
    case kLong: case kDouble: return 8;
    default: return 0;
  }
}

// One field type from `at` ("I", "[[Ljava/lang/String;"), its class added to `classes`; false when it is none.
bool ParseFieldType(std::string_view text, std::size_t& at, std::vector<std::string_view>& classes) {
  while (at < text.size() && text[at] == '[') ++at;
  if (at == text.size()) return false;
  if (text[at] != 'L') return std::string_view("BCDFIJSZ").find(text[at++]) != std::string_view::npos;
  const std::size_t end = text.find(';', at + 1);
  if (end == std::string_view::npos || end == at + 1) return false;
  classes.push_back(text.substr(at + 1, end - at - 1));
  at = end + 1;
  return true;
}

// A field descriptor, or a method's ("(ILjava/lang/String;)V"), its classes added to `classes`; false when the
// text is neither (the classes of its start then added all the same).
bool ParseDescriptor(std::string_view text, std::vector<std::string_view>& classes) {
  std::size_t at = 0;
  if (text.starts_with('(')) {
    for (++at; at < text.size() && text[at] != ')';) {
      if (!ParseFieldType(text, at, classes)) return false;
    }
    if (++at == text.size() + 1) return false;
    if (at + 1 == text.size() && text[at] == 'V') return true;
  }
  return ParseFieldType(text, at, classes) && at == text.size();
}

// The UTF-8 text of the constant at `index`; nullopt when it is none.
std::optional<std::string_view> TextAt(std::span<const std::uint8_t> classFile, std::span<const PoolConstant> pool,
                                       std::uint32_t index) {
  if (index == 0 || index >= pool.size() || pool[index].tag != kUtf8) return std::nullopt;
  return std::string_view(reinterpret_cast<const char*>(classFile.data()) + pool[index].from, pool[index].length);
}

// A method reference that loads a class by its name: the program it starts is hidden from the walk.
bool LoadsByName(std::string_view owner, std::string_view method, std::string_view descriptor) {
  return (owner == "java/lang/Class" && method == "forName") ||
         (owner == "java/lang/invoke/MethodHandles$Lookup" && method == "findClass") ||
         (method == "loadClass" && descriptor.starts_with("(Ljava/lang/String;") &&
          descriptor.ends_with(")Ljava/lang/Class;"));
}

}  // namespace

std::size_t ClassFront::Wanted(std::span<const std::uint8_t> front) {
  constexpr std::size_t kPoolStart = 10, kAfterPool = 6;  // magic, versions, count; access, this, super
  if (front.size() < kPoolStart) return kPoolStart;
  // Each constant is written as it is read: the memory of the classes before is never cleared first.
  if (count_ == 0) {
    count_ = std::max<std::uint32_t>(front[8] << 8 | front[9], 1);  // index 0 is no constant, and never written
    if (pool_.size() < count_) pool_.resize(count_);
  }
  const std::uint32_t count = count_;
  // In locals while it reads: the bytes it reads could otherwise be the members it writes, for all the compiler knows.
  const std::uint8_t* const bytes = front.data();
  std::size_t at = at_, least = 0;  // where the constant that the front cuts off ends, at least
  std::uint32_t next = next_;
  const std::span<PoolConstant> pool = Pool();
  for (; next < count; ++next) {
    least = at + 3;
    if (front.size() < least) break;
    const std::uint8_t tag = bytes[at];
    const std::uint16_t word = static_cast<std::uint16_t>(bytes[at + 1] << 8 | bytes[at + 2]);
    const std::uint32_t length = tag == kUtf8 ? 2 + word : DataLength(tag);
    if (length == 0) {
      broken_ = true;
      return 0;
    }
    least = at + 1 + length;
    if (front.size() < least) break;
    PoolConstant& c = pool[next];
    c.tag = tag;
    if (tag == kUtf8) {
      c.uses = 0;
      c.from = static_cast<std::uint32_t>(at + 3);
      c.length = word;
    } else {
      c.first = word;
      if (length == 4) c.second = static_cast<std::uint16_t>(bytes[at + 3] << 8 | bytes[at + 4]);
    }
    at = least;
    if ((tag == kLong || tag == kDouble) && ++next < count) pool[next].tag = 0;  // it takes two slots
  }
  at_ = at;
  next_ = next;
  if (next_ >= count) return at_ + kAfterPool;
  // The constants still to come as long as those so far, and a little more: a further step costs less than bytes
  // inflated beyond the pool.
  const std::size_t perConstant = (at_ - kPoolStart) / std::max<std::uint32_t>(next_ - 1, 1);
  const std::size_t expected = kPoolStart + perConstant * (count - 1) * 33 / 32;
  return std::max(expected, least) + kAfterPool;
}

void ClassFront::Clear() {
  at_ = 10;
  next_ = 1;
  broken_ = false;
  count_ = 0;
}

bool ClassFront::ReadPool(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 10 || !(bytes[0] == 0xCA && bytes[1] == 0xFE && bytes[2] == 0xBA && bytes[3] == 0xBE)) {
    return false;
  }
  const std::uint32_t count = bytes[8] << 8 | bytes[9];
  Wanted(bytes);
  return count != 0 && !broken_ && next_ >= count;
}

std::optional<ClassReferences> ReadClassReferences(std::span<const std::uint8_t> bytes) {
  ClassFront front;
  return ReadClassReferences(bytes, front);
}

std::optional<ClassReferences> ReadClassReferences(std::span<const std::uint8_t> front, ClassFront& scanned) {
  if (!scanned.ReadPool(front)) return std::nullopt;
  // A span of its own, which the writes to the constants can't change for all the compiler knows.
  const std::span<PoolConstant> pool = scanned.Pool();
  ByteReader in(front);
  in.Skip(scanned.at_);
  const auto text = [&](std::uint32_t index) { return TextAt(front, pool, index); };

  // Each text is read at most once as a name and once as a descriptor, however many constants refer to it: what a
  // class costs stays bounded by its size.
  ClassReferences found;
  for (const PoolConstant& c : pool) {
    if (c.tag == kMethodRef || c.tag == kInterfaceMethodRef) {
      const PoolConstant* owner = c.first < pool.size() ? &pool[c.first] : nullptr;
      const PoolConstant* member = c.second < pool.size() ? &pool[c.second] : nullptr;
      if (found.loadsByName || !owner || owner->tag != kClass || !member || member->tag != kNameAndType) continue;
      const auto ownerName = text(owner->first), method = text(member->first), descriptor = text(member->second);
      found.loadsByName = ownerName && method && descriptor && LoadsByName(*ownerName, *method, *descriptor);
    }
    if (c.tag != kClass && c.tag != kMethodType && c.tag != kNameAndType) continue;
    const std::uint16_t index = c.tag == kNameAndType ? c.second : c.first;
    const std::optional<std::string_view> name = text(index);
    if (!name || name->empty()) return std::nullopt;
    pool[index].uses |= c.tag == kClass && name->front() != '[' ? kName : kDescriptor;
  }
  // Every text that reads as a descriptor names its classes: the descriptors of the class's own fields and
  // methods are texts that no other constant needs to refer to. Only one that is referred to as a descriptor must
  // be one. Each name is kept once, in an open-addressed table of their places that is at most half full; names
  // met again are counted too, so that the time stays bounded.
  std::vector<std::string_view>& names = found.names;
  std::vector<std::string_view>& parsed = scanned.parsed_;
  std::vector<std::uint64_t>& hashes = scanned.hashes_;
  std::vector<std::uint32_t>& slots = scanned.slots_;
  hashes.clear();
  // Most classes name fewer classes than they have constants.
  slots.assign(std::bit_ceil(std::max<std::size_t>(pool.size(), 64)), 0);
  const auto keep = [&](std::string_view name) {
    if (2 * (names.size() + 1) > slots.size()) {
      slots.assign(2 * slots.size(), 0);
      for (std::uint32_t kept = 0; kept < names.size(); ++kept) {
        std::size_t i = hashes[kept] & (slots.size() - 1);
        while (slots[i] != 0) i = (i + 1) & (slots.size() - 1);
        slots[i] = kept + 1;
      }
    }
    const std::uint64_t hash = SeededHash(name);
    std::size_t i = hash & (slots.size() - 1);
    for (; slots[i] != 0; i = (i + 1) & (slots.size() - 1)) {
      if (hashes[slots[i] - 1] == hash && names[slots[i] - 1] == name) return;
    }
    slots[i] = static_cast<std::uint32_t>(names.size() + 1);
    names.push_back(name);
    hashes.push_back(hash);
  };
  std::size_t met = 0;
  for (std::uint32_t i = 1; i < pool.size(); ++i) {
    const std::uint8_t uses = pool[i].uses;
    if (pool[i].tag != kUtf8) continue;
    const std::string_view t = *text(i);
    parsed.clear();
    if ((uses & kName) != 0) parsed.push_back(t);
    // A descriptor that starts otherwise is a primitive type's, and names no class.
    const bool mayNameClasses = !t.empty() && (t.front() == '(' || t.front() == 'L' || t.front() == '[');
    if (((uses & kDescriptor) != 0 || mayNameClasses) && !ParseDescriptor(t, parsed)) {
      if ((uses & kDescriptor) != 0) return std::nullopt;
      parsed.resize((uses & kName) != 0);
    }
    for (const std::string_view name : parsed) keep(name);
    met += parsed.size();
    if (names.size() > kMaxClassNames || met > kMaxClassNames * 32) return std::nullopt;
  }

  in.Skip(4);  // access flags, this class
  const std::uint32_t super = in.Number(2);
  if (!in.Ok()) return std::nullopt;
  if (super != 0) {
    if (super >= pool.size() || pool[super].tag != kClass) return std::nullopt;
    found.superClass = *text(pool[super].first);
  }
  return found;
}

bool HoldsStringConstant(std::span<const std::uint8_t> classFile, std::string_view text) {
  ClassFront front;
  if (!front.ReadPool(classFile)) return false;
  for (const PoolConstant& c : front.Pool()) {
    if (c.tag == kString && TextAt(classFile, front.Pool(), c.first) == text) return true;
  }
  return false;
}

}  // namespace tc
