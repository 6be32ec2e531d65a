#include <gtest/gtest.h>

#include "core/PointNumber.h"

namespace orma {
namespace {

int numberOf(const char* path) {
    const PointNumberResult r = pointNumberFromFileName(path, CurveSource::Gef, 777);
    EXPECT_TRUE(r.number.has_value()) << path << ": " << r.error;
    return r.number.value_or(-99999);
}

TEST(PointNumberFromFileName, WorkedExamples) {
    EXPECT_EQ(numberOf("125.GEF"), 125);
    EXPECT_EQ(numberOf("VES12.GEF"), 12);
    EXPECT_EQ(numberOf("a12b34.GEF"), 12);
    EXPECT_EQ(numberOf("PF3_125.GEF"), 3125);
    EXPECT_EQ(numberOf("VES-25.GEF"), -25);
}

TEST(PointNumberFromFileName, DirectoryIsIgnoredAndExtensionEndsTheScan) {
    EXPECT_EQ(numberOf("/data/pf7/VES12.GEF"), 12);
    EXPECT_EQ(numberOf("D:\\pf7\\VES12.GEF"), 12);
    EXPECT_EQ(numberOf("5.gef9"), 5);     // the digit after ".gef" is never reached
    EXPECT_EQ(numberOf("5.GeF9"), 59);    // mixed case is no extension: the one digit bridges
    EXPECT_EQ(numberOf("mawlamyine_loc1.csv"), 1);
    EXPECT_EQ(numberOf("ves 40 2019.txt"), 40);
}

TEST(PointNumberFromFileName, SignsAndNoDigits) {
    EXPECT_EQ(numberOf("VES.GEF"), 0);
    EXPECT_EQ(numberOf("a-b.GEF"), 0);    // a sign without a digit
    EXPECT_EQ(numberOf("+7.GEF"), 7);
    EXPECT_EQ(numberOf("-x5.GEF"), -5);   // one collected character tolerates the gap
    EXPECT_EQ(numberOf("12-3.GEF"), 12);  // a sign after a digit is no candidate
    for (const char* name : {"--5.GEF", "+-5.GEF", "-+5.GEF"}) {
        const PointNumberResult r = pointNumberFromFileName(name, CurveSource::Gef, 0);
        EXPECT_FALSE(r.number.has_value()) << name;
        EXPECT_NE(r.error.find("is not a valid integer"), std::string::npos) << r.error;
    }
    const PointNumberResult huge = pointNumberFromFileName("99999999999.GEF", CurveSource::Gef, 0);
    EXPECT_FALSE(huge.number.has_value());
    EXPECT_FALSE(huge.error.empty());
}

TEST(PointNumberFromFileName, RstCurveKeepsItsRecordNumber) {
    EXPECT_EQ(pointNumberFromFileName("VES12.GEF", CurveSource::Rst, 250).number, 250);
    EXPECT_EQ(pointNumberFromFileName("VES12.GEF", CurveSource::None, 250).number, 12);
}

}  // namespace
}  // namespace orma
