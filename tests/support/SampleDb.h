// The sample database the build compiles, read once per suite as the program
// reads it, and the text language set back to English after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "BinFile.h"
#include "DataBase.h"
#include "Dates.h"
#include "Fakes.h"
#include "Parser.h"
#include "TextConstants.h"

// The text language and what follows it: the program's texts, the months.
inline void SetTextLanguage(int lang) {
    TextConstants::textLanguage = lang;
    TextConstants::LoadTexts();
    Dates::InitMonths();
}

class SampleDbTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        DataBase::InitDataBase();
        const DataBase::DbStatus st = DataBase::ReadBinFile(BinaryPath("bin/Talv1Dat.bin"));
        ASSERT_TRUE(st.ok) << st.detail;
        Parser::InitParser();
    }
    void SetUp() override {
        TextConstants::edition = 1;
        SetTextLanguage(1);
    }
    void TearDown() override { SetTextLanguage(1); }
    static atom* A(const std::string& name) {
        atom* a = DataBase::GetAtom(name);
        EXPECT_NE(a, DataBase::nothingAtom) << name;
        return a;
    }
};
