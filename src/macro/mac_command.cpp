#include "macro/mac_command.h"

namespace dravik::macro {

namespace {

using K = MacOperandKinds;
using T = MacTextUse;
constexpr K kNo = K::None;
constexpr K kReg = K::Register;
constexpr K kConst = K::Constant;
constexpr K kAny = K::Either;

// The blanks inside the text forms are what the panel's printouts and the editor grid
// have always shown; they are kept to the character.
//
// code, panel name, text form, template, operands A1 A2 A3, text, double word, signed,
// double word always, options shown
// clang-format off
constexpr MacCommand kCommands[] = {
    {1, "ADD", "{1} = {2} + {3}", "A1 = A2 + A3", {kReg, kAny, kAny}, T::None, true, true, false, true},
    {2, "SUB", "{1} = {2} - {3}", "A1 = A2 - A3", {kReg, kAny, kAny}, T::None, true, true, false, true},
    {3, "MUL", "{1} = {2} x {3}", "A1 = A2 x A3", {kReg, kAny, kAny}, T::None, true, true, false, true},
    {4, "DIV", "{1} = {2} / {3}", "A1 = A2 / A3", {kReg, kAny, kAny}, T::None, true, true, false, true},
    {5, "MOD", "{1} = {2} % {3}", "A1 = A2 % A3", {kReg, kAny, kAny}, T::None, true, true, false, true},
    {6, "OR", "{1} = {2} | {3}", "A1 = A2 | A3", {kReg, kAny, kAny}, T::None, true, false, false, true},
    {7, "AND", "{1} = {2} & {3}", "A1 = A2 & A3", {kReg, kAny, kAny}, T::None, true, false, false, true},
    {8, "XOR", "{1} = {2} ^ {3}", "A1 = A2 ^ A3", {kReg, kAny, kAny}, T::None, true, false, false, true},
    {9, "SHL", "{1} = {2} << {3}", "A1 = A2 << A3", {kReg, kAny, kAny}, T::None, true, false, false, true},
    {10, "SHR", "{1} = {2} >> {3}", "A1 = A2 >> A3", {kReg, kAny, kAny}, T::None, true, false, false, true},
    {11, "MOV", "{1} = {2}", "A1 = A2", {kReg, kAny, kNo}, T::None, true, false, false, true},
    {12, "", "BMOV( {1}, {2}, {3} )", "BMOV(A1,A2,A3)", {kReg, kReg, kAny}, T::None, false, false, false, false},
    {13, "", "FILL( {1}, {2}, {3} )", "FILL(A1,A2,A3)", {kReg, kAny, kAny}, T::None, false, false, false, false},
    {14, "", "CHR( {1}, \"{T}\" )", "CHR(A1,\"A2\")", {kReg, kNo, kNo}, T::ChrText, false, false, false, false},
    {15, "IF ==", "IF  {1} == {2} THEN  GOTO  LABEL {3}", "IF A1  == A2 THEN GOTO LABEL A3", {kAny, kAny, kConst}, T::None, true, true, false, true},
    {16, "IF !=", "IF  {1} != {2} THEN  GOTO  LABEL {3}", "IF A1  != A2 THEN GOTO LABEL A3", {kAny, kAny, kConst}, T::None, true, true, false, true},
    {17, "IF >", "IF  {1} >  {2} THEN  GOTO  LABEL {3}", "IF A1  >  A2 THEN GOTO LABEL A3", {kAny, kAny, kConst}, T::None, true, true, false, true},
    {18, "IF >=", "IF  {1} >= {2} THEN  GOTO  LABEL {3}", "IF A1  >= A2 THEN GOTO LABEL A3", {kAny, kAny, kConst}, T::None, true, true, false, true},
    {19, "IF <", "IF  {1} <  {2} THEN  GOTO  LABEL {3}", "IF A1  <  A2 THEN GOTO LABEL A3", {kAny, kAny, kConst}, T::None, true, true, false, true},
    {20, "IF <=", "IF  {1} <= {2} THEN  GOTO  LABEL {3}", "IF A1  <= A2 THEN GOTO LABEL A3", {kAny, kAny, kConst}, T::None, true, true, false, true},
    {21, "", "IF ( {1} & {2} ) ==  0 THEN  GOTO  LABEL {3}", "IF(A1 & A2) == 0 THEN GOTO LABEL A3", {kAny, kAny, kConst}, T::None, true, false, false, true},
    {22, "", "IF ( {1} & {2} ) !=  0 THEN  GOTO  LABEL {3}", "IF(A1 & A2) != 0 THEN GOTO LABEL A3", {kAny, kAny, kConst}, T::None, true, false, false, true},
    {23, "", "IF {1} == ON  THEN  GOTO  LABEL {2}", "IF A1 == ON  THEN GOTO LABEL A2", {kReg, kConst, kNo}, T::None, false, false, false, false},
    {24, "", "IF {1} == OFF THEN  GOTO  LABEL {2}", "IF A1 == OFF THEN GOTO LABEL A2", {kReg, kConst, kNo}, T::None, false, false, false, false},
    {25, "GOTO", "GOTO  LABEL  {1}", "GOTO LABEL A1", {kConst, kNo, kNo}, T::None, false, false, false, false},
    {26, "LABEL", "LABEL  {1}", "LABEL A1", {kConst, kNo, kNo}, T::None, false, false, false, false},
    {27, "", "CALL  Sub-macro #{1}", "CALL  Sub-macro #A1", {kConst, kNo, kNo}, T::None, false, false, false, false},
    {28, "", "RET", "RET", {kNo, kNo, kNo}, T::None, false, false, false, false},
    {29, "END", "END", "END", {kNo, kNo, kNo}, T::None, false, false, false, false},
    {30, "", "SETB  {1}", "SETB A1", {kReg, kNo, kNo}, T::None, false, false, false, false},
    {31, "", "CLRB  {1}", "CLRB A1", {kReg, kNo, kNo}, T::None, false, false, false, false},
    {32, "", "INVB  {1}", "INVB A1", {kReg, kNo, kNo}, T::None, false, false, false, false},
    {33, "", "{1} == TIMETICK()", "A1 = TIMETICK()", {kReg, kNo, kNo}, T::None, true, false, true, false},
    {34, "Comment", "#{T}", "#A1", {kNo, kNo, kNo}, T::Comment, false, false, false, false},
    {35, "", "TXD( {1}, {2})", "TXD(A1,A2)", {kReg, kAny, kNo}, T::None, false, false, false, false},
    {36, "", "RXD( {1}, {2})", "RXD(A1,A2)", {kReg, kAny, kNo}, T::None, false, false, false, false},
    {37, "", "STR( {1}, {2}, {3} )", "STR(A1,A2,A3)", {kReg, kAny, kAny}, T::None, false, false, false, false},
};
// clang-format on

static_assert(std::size(kCommands) == kMacLastCode);

constexpr bool CodesInOrder() {
  for (int i = 0; i < kMacLastCode; ++i) {
    if (kCommands[i].code != i + 1) return false;
  }
  return true;
}
static_assert(CodesInOrder());

}  // namespace

std::span<const MacCommand> MacCommands() {
  return kCommands;
}

const MacCommand* FindMacCommand(int code) {
  if (code < kMacFirstCode || code > kMacLastCode) return nullptr;
  return &kCommands[code - 1];
}

bool IsMacInstruction(int code) {
  // The panel runs arithmetic and logic, MOV, the plain comparisons, GOTO, LABEL and END;
  // the other codes are kept in the rows but never reach the image.
  return (code >= 1 && code <= 11) || (code >= 15 && code <= 20) || code == 25 || code == 26 ||
         code == 29;
}

int MacJumpOperand(int code) {
  if (code >= 15 && code <= 22) return 2;
  if (code == 23 || code == 24) return 1;
  if (code == 25) return 0;
  return -1;
}

}  // namespace dravik::macro
