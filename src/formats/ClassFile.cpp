// What a Java class file names and holds: read from its constant pool and the descriptors of its members.
#include "formats/ClassFile.h"

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

// What the walk needs of one constant: its tag, and the UTF-8 text or the index of the text it refers to.
struct Constant {
  std::uint8_t tag = 0;  // 0: the unusable slot after a long or a double
  std::uint32_t from = 0, length = 0;  // kUtf8: where its bytes lie
  std::uint16_t text = 0;              // kClass, kMethodType: its name; kString: its text; kNameAndType: its descriptor
};

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

// The classes in a descriptor ("(ILjava/lang/String;[Ljavax/swing/JFrame;)V"); false when one is not closed.
bool AddDescriptorClasses(std::string_view descriptor, std::vector<std::string_view>& names) {
  for (std::size_t at = 0; at < descriptor.size(); ++at) {
    if (descriptor[at] != 'L') continue;
    const std::size_t end = descriptor.find(';', at + 1);
    if (end == std::string_view::npos || end == at + 1) return false;
    names.push_back(descriptor.substr(at + 1, end - at - 1));
    at = end;
  }
  return true;
}

// The constant pool, read from the start of the class file; `in` is left after it. nullopt when it does not parse.
std::optional<std::vector<Constant>> ReadConstantPool(ByteReader& in) {
  if (in.Number(4) != 0xCAFEBABE || !in.Skip(4)) return std::nullopt;  // magic, minor and major version
  const std::uint32_t count = in.Number(2);
  if (!in.Ok() || count == 0) return std::nullopt;

  // Index 0 is no constant; a long or a double takes two.
  std::vector<Constant> pool(count);
  for (std::uint32_t i = 1; i < count; ++i) {
    Constant& c = pool[i];
    c.tag = static_cast<std::uint8_t>(in.Number(1));
    if (c.tag == kUtf8) {
      c.length = in.Number(2);
      c.from = static_cast<std::uint32_t>(in.At());
      in.Skip(c.length);
    } else if (const std::uint32_t length = DataLength(c.tag); length == 0) {
      return std::nullopt;
    } else if (c.tag == kClass || c.tag == kMethodType || c.tag == kString) {
      c.text = static_cast<std::uint16_t>(in.Number(2));
    } else if (c.tag == kNameAndType) {
      in.Skip(2);
      c.text = static_cast<std::uint16_t>(in.Number(2));
    } else {
      in.Skip(length);
      if (c.tag == kLong || c.tag == kDouble) ++i;
    }
    if (!in.Ok()) return std::nullopt;
  }
  return pool;
}

// The UTF-8 text of the constant at `index`; nullopt when it is none.
std::optional<std::string_view> TextAt(std::span<const std::uint8_t> classFile, const std::vector<Constant>& pool,
                                       std::uint32_t index) {
  if (index == 0 || index >= pool.size() || pool[index].tag != kUtf8) return std::nullopt;
  return std::string_view(reinterpret_cast<const char*>(classFile.data()) + pool[index].from, pool[index].length);
}

}  // namespace

std::optional<std::vector<std::string_view>> ClassNamesIn(std::span<const std::uint8_t> classFile) {
  ByteReader in(classFile);
  const std::optional<std::vector<Constant>> pool = ReadConstantPool(in);
  if (!pool) return std::nullopt;
  const auto text = [&](std::uint32_t index) { return TextAt(classFile, *pool, index); };
  std::vector<std::string_view> names;
  for (const Constant& c : *pool) {
    if (c.tag != kClass && c.tag != kMethodType && c.tag != kNameAndType) continue;
    const std::optional<std::string_view> name = text(c.text);
    if (!name || name->empty()) return std::nullopt;
    if (c.tag == kClass && name->front() != '[') {
      names.push_back(*name);
    } else if (!AddDescriptorClasses(*name, names)) {
      return std::nullopt;
    }
  }

  // Access flags, this class, super class; the interfaces; then fields and methods, each with its descriptor.
  in.Skip(6);
  in.Skip(2 * std::uint64_t{in.Number(2)});
  for (int table = 0; table < 2; ++table) {
    for (std::uint32_t members = in.Number(2); in.Ok() && members > 0; --members) {
      in.Skip(4);  // access flags, name
      const std::optional<std::string_view> descriptor = text(in.Number(2));
      if (!in.Ok() || !descriptor || !AddDescriptorClasses(*descriptor, names)) return std::nullopt;
      for (std::uint32_t attributes = in.Number(2); in.Ok() && attributes > 0; --attributes) {
        in.Skip(2);
        in.Skip(in.Number(4));
      }
    }
  }
  if (!in.Ok()) return std::nullopt;
  return names;
}

bool HoldsStringConstant(std::span<const std::uint8_t> classFile, std::string_view text) {
  ByteReader in(classFile);
  const std::optional<std::vector<Constant>> pool = ReadConstantPool(in);
  if (!pool) return false;
  for (const Constant& c : *pool) {
    if (c.tag == kString && TextAt(classFile, *pool, c.text) == text) return true;
  }
  return false;
}

}  // namespace tc
