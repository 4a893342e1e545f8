#include "params/key_led.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/settings_page.h"

namespace dravik::params {
namespace {

using model::At;
using namespace model::settings;

TEST(KeyLedTest, ANewProjectHasKeysAt0AndLedsAt2100) {
  auto settings = std::make_unique<model::PageRecord>();
  model::ApplySettingsDefaults(*settings);
  const KeyLedRegisters registers = ReadKeyLedRegisters(*settings, 65000);
  EXPECT_EQ(registers, (KeyLedRegisters{0, 2100}));
  EXPECT_EQ(Follower(registers.key), 1);
  EXPECT_EQ(Follower(registers.led), 2101);
}

// Both registers of a pair must lie within MaxReg, so the first stops one below it.
TEST(KeyLedTest, RegistersShowHeldSoThatTheFollowerFitsMaxReg) {
  auto settings = std::make_unique<model::PageRecord>();
  model::ApplySettingsDefaults(*settings);
  EXPECT_EQ(ReadKeyLedRegisters(*settings, 1000), (KeyLedRegisters{0, 999}));
  At(*settings, kKeyRegister) = 65535;
  EXPECT_EQ(ReadKeyLedRegisters(*settings, 65535), (KeyLedRegisters{65534, 2100}));
  EXPECT_EQ(StoredKeyLedRegisters(*settings), (KeyLedRegisters{65535, 2100}));
  EXPECT_EQ(HighestFirstRegister(0), 0);
  WriteKeyLedRegisters(*settings, {5, 999});
  EXPECT_EQ(At(*settings, kKeyRegister), 5);
  EXPECT_EQ(At(*settings, kLedRegister), 999);
}

TEST(KeyLedTest, CaptionsNameTheFirstWordKind) {
  EXPECT_EQ(KeyLedLowCaption("D", true), "00-15 对应寄存器号D:");
  EXPECT_EQ(KeyLedHighCaption("D", true), "16-31 对应寄存器号D:");
  EXPECT_EQ(KeyLedLowCaption("D", false), "00-15 Corres. Reg.D:");
  EXPECT_EQ(KeyLedHighCaption("D", false), "16-31 Corres. Reg.D:");
  EXPECT_EQ(FollowerBeyondMaxRegMessage(255).english,
            "The register of 16-31 (the first register + 1) cannot exceed 255!\r"
            "The first register was lowered to 254.");
}

}  // namespace
}  // namespace dravik::params
