#include "drive/drive_type.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(DriveTypeName, OnlyTheExactTextOfACodeHasAName) {
  EXPECT_EQ(DriveTypeName("0"), "Tipo Desconhecido");
  EXPECT_EQ(DriveTypeName("1"), "Não Existe");
  EXPECT_EQ(DriveTypeName("2"), "Drive Removivel");
  EXPECT_EQ(DriveTypeName("3"), "Drive Fixa");
  EXPECT_EQ(DriveTypeName("4"), "Drive Remota");
  EXPECT_EQ(DriveTypeName("5"), "Drive CD-ROM");
  EXPECT_EQ(DriveTypeName("6"), "Drive RAM");
  for (const char* text : {"7", "-1", "02", "", " 2", "2 "}) {
    EXPECT_EQ(DriveTypeName(text), "Não Determinado!") << '"' << text << '"';
  }
}

}  // namespace
}  // namespace quorvel
