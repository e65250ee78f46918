// A test on the fixture's pen drive: the drive starts empty, and whatever the
// test put on it must be there byte for byte after the program has run,
// because the program writes nothing.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "win/program_under_test.h"

namespace quorvel::testing {

class PenDriveTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearDrive(kPenRoot); }

  // Starts the program from `folder` once the drive holds what the test put
  // on it.
  ProgramUnderTest& Start(const std::wstring& folder = kPenRoot, const Launch& launch = {}) {
    program_ = std::make_unique<ProgramUnderTest>(folder, launch);
    // The copy of the program is the test's doing, not the program's.
    before_ = SnapshotTree(kPenRoot);
    return *program_;
  }

  // Ends the program if still running, then compares the drive.
  void TearDown() override {
    if (!program_) return;
    program_.reset();
    EXPECT_EQ(SnapshotTree(kPenRoot), before_) << "the program changed the drive";
  }

  std::unique_ptr<ProgramUnderTest> program_;
  std::map<std::wstring, std::string> before_;
};

}  // namespace quorvel::testing
