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

// Tells, as more of a class file's front comes in, how many bytes ReadClassReferences reads: its constant pool,
// access flags, this class and super class. Each front it is given is the last one and more; it goes on reading
// where it stopped.
class ClassFront {
 public:
  // When `front` holds fewer, how many it is likely to need, told from the constants it holds; at most
  // front.size() when it holds them all, or when it is no class file (reading it then says so).
  std::size_t Wanted(std::span<const std::uint8_t> front);

 private:
  std::size_t at_ = 10;   // after the magic, the versions and the count of constants
  std::uint32_t next_ = 1;  // the constant that starts there
};

// Reads the front of a class file (or the whole of it); nullopt when it is no class file, a constant it uses is
// damaged, or it names more than kMaxClassNames classes.
std::optional<ClassReferences> ReadClassReferences(std::span<const std::uint8_t> front);

// True when the class has a string constant (a literal in its code) of exactly these modified UTF-8 bytes; false
// for that text only as a name, and for bytes that are no class file.
bool HoldsStringConstant(std::span<const std::uint8_t> classFile, std::string_view text);

}  // namespace tc
