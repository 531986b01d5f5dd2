// What a Java class file names and holds: read from its constant pool.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tc {

// A class file that names more classes than this is no program's (the largest name a few thousand).
constexpr std::size_t kMaxClassNames = 8192;

// What the walk over a program's classes reads of one class file.
struct ClassReferences {
  // Each class it names once, in the class file's own form ("javax/swing/JFrame"), pointing into its bytes: every
  // CONSTANT_Class, and every class in a descriptor (of its fields and methods, of the members it refers to, of a
  // method type); an array type names its element class.
  std::vector<std::string_view> names;
  std::string_view superClass;  // "" for none
  // It refers to Class.forName, to a ClassLoader's loadClass (any class's loadClass(String...) that returns a
  // Class) or to MethodHandles.Lookup.findClass.
  bool loadsByName = false;
};

// What the walk needs of one constant: its tag, the UTF-8 text, or the indexes of the constants it refers to.
struct PoolConstant {
  std::uint8_t tag = 0;   // 0: the unusable slot after a long or a double
  std::uint8_t uses = 0;  // UTF-8: how other constants use it
  std::uint32_t from = 0, length = 0;  // UTF-8: where its bytes lie
  // Class: its name; String: its text; MethodType: its descriptor; NameAndType: its name and descriptor;
  // FieldRef, MethodRef, InterfaceMethodRef: its class and its NameAndType.
  std::uint16_t first = 0, second = 0;
};

// Reads a class file's constant pool as its front comes in, and tells how many bytes ReadClassReferences reads:
// the pool, access flags, this class and super class. Each front it is given is the last one and more; it goes on
// reading where it stopped, so that the pool is read once.
class ClassFront {
 public:
  // When `front` holds fewer, how many it is likely to need, told from the constants it holds; at most
  // front.size() when it holds them all, or when it is no class file (reading it then says so).
  std::size_t Wanted(std::span<const std::uint8_t> front);
  // Forgets the class it read, and keeps its memory for the next.
  void Clear();

 private:
  friend std::optional<ClassReferences> ReadClassReferences(std::span<const std::uint8_t>, ClassFront&);
  friend bool HoldsStringConstant(std::span<const std::uint8_t>, std::string_view);
  // Reads on to the end of the pool; false when `bytes` is no class file or ends within its pool.
  bool ReadPool(std::span<const std::uint8_t> bytes);

  std::size_t at_ = 10;     // after the magic, the versions and the count of constants
  std::uint32_t next_ = 1;  // the constant that starts there
  bool broken_ = false;     // a constant of no known tag
  std::uint32_t count_ = 0;  // of the class being read; `pool_` may hold more, from a class before
  std::vector<PoolConstant> pool_;
  std::span<PoolConstant> Pool() { return {pool_.data(), count_}; }
  // ReadClassReferences's table of the names it keeps: each one's hash, and 1 + its place or 0 in each slot.
  std::vector<std::uint64_t> hashes_;
  std::vector<std::uint32_t> slots_;
  std::vector<std::string_view> parsed_;
};

// Reads the front of a class file (or the whole of it), reading on where `front` stopped; nullopt when it is no
// class file, a constant it uses is damaged, or it names more than kMaxClassNames classes.
std::optional<ClassReferences> ReadClassReferences(std::span<const std::uint8_t> bytes, ClassFront& front);
std::optional<ClassReferences> ReadClassReferences(std::span<const std::uint8_t> bytes);

// True when the class has a string constant (a literal in its code) of exactly these modified UTF-8 bytes; false
// for that text only as a name, and for bytes that are no class file.
bool HoldsStringConstant(std::span<const std::uint8_t> classFile, std::string_view text);

}  // namespace tc
