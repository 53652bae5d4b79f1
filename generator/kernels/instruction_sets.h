// The instruction sets beyond the baseline that a kernel may be compiled for, as bits, each with
// the one name that GCC's target attribute and __builtin_cpu_supports both know it by.
//
// A kernel states what it needs once, as the target text its functions are compiled with;
// instructionSetsOf reads the same text at compile time into the bits that detection compares
// with the processor's, so what a kernel is compiled for and what it is run on cannot disagree.
// The text names every set the code may use, also one that another implies (avx2 under
// avx512f): detection asks for each named set and for nothing else.
#ifndef QUINDLE_GENERATOR_KERNELS_INSTRUCTION_SETS_H
#define QUINDLE_GENERATOR_KERNELS_INSTRUCTION_SETS_H

#include <cstdint>

namespace quindle {

using InstructionSets = uint32_t;

// Every set a kernel may name, as set(bit, name); detection asks the processor for each one by
// its name, which must be a string literal there.
#define QUINDLE_EACH_INSTRUCTION_SET(set) \
  set(kAvx2, 1u << 0, "avx2")             \
  set(kBmi1, 1u << 1, "bmi")              \
  set(kBmi2, 1u << 2, "bmi2")             \
  set(kPopcnt, 1u << 3, "popcnt")         \
  set(kAvx512F, 1u << 4, "avx512f")       \
  set(kAvx512Bw, 1u << 5, "avx512bw")     \
  set(kAvx512Vbmi, 1u << 6, "avx512vbmi") \
  set(kAvx512Vbmi2, 1u << 7, "avx512vbmi2")

#define QUINDLE_INSTRUCTION_SET_BIT(bit, value, name) constexpr InstructionSets bit = value;
QUINDLE_EACH_INSTRUCTION_SET(QUINDLE_INSTRUCTION_SET_BIT)
#undef QUINDLE_INSTRUCTION_SET_BIT

// What a name outside the list reads as: no processor reports it, so a kernel compiled for it
// would never run. Each kernel rules it out at compile time.
constexpr InstructionSets kUnknownInstructionSet = 1u << 31;

struct NamedInstructionSet {
  InstructionSets bit;
  const char* name;
};

#define QUINDLE_NAMED_INSTRUCTION_SET(bit, value, name) {bit, name},
constexpr NamedInstructionSet kNamedInstructionSets[] = {
    QUINDLE_EACH_INSTRUCTION_SET(QUINDLE_NAMED_INSTRUCTION_SET)};
#undef QUINDLE_NAMED_INSTRUCTION_SET

// Whether the `length` characters at `text` are all of `name`.
constexpr bool isInstructionSetName(const char* text, int length, const char* name) {
  for (int i = 0; i < length; ++i) {
    if (name[i] != text[i]) return false;
  }
  return name[length] == '\0';
}

// The sets a comma-separated target text names ("avx2,bmi,bmi2"), as bits.
constexpr InstructionSets instructionSetsOf(const char* target) {
  InstructionSets sets = 0;
  while (*target != '\0') {
    int length = 0;
    while (target[length] != '\0' && target[length] != ',') ++length;
    InstructionSets named = kUnknownInstructionSet;
    for (const NamedInstructionSet& set : kNamedInstructionSets) {
      if (isInstructionSetName(target, length, set.name)) named = set.bit;
    }
    sets |= named;
    target += length;
    if (*target == ',') ++target;
  }
  return sets;
}

// The sets this processor has and its operating system saves the registers of; each processor
// family's file says (CMake picks it).
InstructionSets processorInstructionSets();

}  // namespace quindle

#endif
