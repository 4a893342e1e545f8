#pragma once
// One page of a project, byte for byte as it is stored in the project file, the undo ring
// and the page clipboard. Every member is a byte-aligned array, so the struct has no
// padding and is read and written whole.

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/little_endian.h"
#include "model/short_string.h"

namespace dravik::model {

inline constexpr int kSlotCount = 201;          // slots 0..200; slot 200 is never used
inline constexpr int kPageStringCount = 201;
inline constexpr int kDynTextStateCount = 5024;

template <class T>
using SlotArray = std::array<T, kSlotCount>;

struct PageRecord {
  std::array<ShortString20, kPageStringCount> PageStrings;
  std::array<std::uint8_t, 31> reserved1;
  std::array<ShortString30, kDynTextStateCount> DynTextStates;
  SlotArray<std::uint8_t> ElemKind;
  SlotArray<ShortString50> ElemTextA;
  SlotArray<ShortString50> ElemTextB;
  SlotArray<ShortString20> ElemNameA;
  SlotArray<ShortString20> ElemNameB;
  std::array<std::uint8_t, 1> reserved2;
  SlotArray<U16le> ElemLeft;
  SlotArray<U16le> ElemTop;
  SlotArray<std::uint8_t> ElemByteA;
  std::array<std::uint8_t, 1> reserved3;
  SlotArray<U16le> ElemWidth;
  SlotArray<U16le> ElemHeight;
  SlotArray<I32le> ElemLongA;
  SlotArray<I32le> ElemLongB;
  SlotArray<U16le> ElemWordA;
  SlotArray<std::uint8_t> ElemByteB;
  SlotArray<std::uint8_t> ElemByteC;
  SlotArray<std::uint8_t> ElemByteD;
  SlotArray<std::uint8_t> ElemByteE;
  std::array<std::uint8_t, 2> reserved4;
  SlotArray<I32le> ElemLongC;
  SlotArray<I32le> ElemLongD;
  SlotArray<U16le> ElemWordB;
  SlotArray<U16le> ElemWordC;
  SlotArray<U16le> ElemWordD;
  SlotArray<U16le> ElemWordE;
  SlotArray<std::uint8_t> ElemByteF;
  std::array<std::uint8_t, 3> reserved5;
};

inline constexpr std::size_t kPageRecordSize = 197188;

static_assert(sizeof(PageRecord) == kPageRecordSize);
static_assert(alignof(PageRecord) == 1);
static_assert(offsetof(PageRecord, PageStrings) == 0);
static_assert(offsetof(PageRecord, reserved1) == 4221);
static_assert(offsetof(PageRecord, DynTextStates) == 4252);
static_assert(offsetof(PageRecord, ElemKind) == 159996);
static_assert(offsetof(PageRecord, ElemTextA) == 160197);
static_assert(offsetof(PageRecord, ElemTextB) == 170448);
static_assert(offsetof(PageRecord, ElemNameA) == 180699);
static_assert(offsetof(PageRecord, ElemNameB) == 184920);
static_assert(offsetof(PageRecord, reserved2) == 189141);
static_assert(offsetof(PageRecord, ElemLeft) == 189142);
static_assert(offsetof(PageRecord, ElemTop) == 189544);
static_assert(offsetof(PageRecord, ElemByteA) == 189946);
static_assert(offsetof(PageRecord, reserved3) == 190147);
static_assert(offsetof(PageRecord, ElemWidth) == 190148);
static_assert(offsetof(PageRecord, ElemHeight) == 190550);
static_assert(offsetof(PageRecord, ElemLongA) == 190952);
static_assert(offsetof(PageRecord, ElemLongB) == 191756);
static_assert(offsetof(PageRecord, ElemWordA) == 192560);
static_assert(offsetof(PageRecord, ElemByteB) == 192962);
static_assert(offsetof(PageRecord, ElemByteC) == 193163);
static_assert(offsetof(PageRecord, ElemByteD) == 193364);
static_assert(offsetof(PageRecord, ElemByteE) == 193565);
static_assert(offsetof(PageRecord, reserved4) == 193766);
static_assert(offsetof(PageRecord, ElemLongC) == 193768);
static_assert(offsetof(PageRecord, ElemLongD) == 194572);
static_assert(offsetof(PageRecord, ElemWordB) == 195376);
static_assert(offsetof(PageRecord, ElemWordC) == 195778);
static_assert(offsetof(PageRecord, ElemWordD) == 196180);
static_assert(offsetof(PageRecord, ElemWordE) == 196582);
static_assert(offsetof(PageRecord, ElemByteF) == 196984);
static_assert(offsetof(PageRecord, reserved5) == 197185);

// The named entries of PageStrings on a page (the others carry nothing).
enum PageStringEntry : int {
  kPageName = 0,
  kPageNumberText = 1,
  kPageInUse = 2,
  kPageBackColorText = 5,
  kPageRegisterOffsetText = 6,
  kPageKeyJumpFirst = 10,  // key rows 0..21 in entries 10..31
  kPageOwnSize = 100,
  kPageOwnWidth = 102,
  kPageOwnHeight = 103,
};
inline constexpr int kPageKeyRows = 22;
inline constexpr char kPageInUseMarker[] = "Use";

inline ShortString20& PageKeyJump(PageRecord& page, int row) {
  return page.PageStrings[kPageKeyJumpFirst + row];
}

}  // namespace dravik::model
