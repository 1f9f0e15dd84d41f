// The text field's limit counts UTF-8 bytes and never splits a character.
#include "kwapp/widgets/kwEdit.h"

#include "../KwappTestSupport.h"
#include "kwapp/widgets/kwCtrl.h"

#include <gtest/gtest.h>

#include <QVBoxLayout>

TEST(kwEdit, CutsTextToItsByteLimitOnCharacterBoundaries) {
    kwapptest::App();
    QWidget dialog;
    auto* edit = new kwEdit(&dialog, 185);
    EXPECT_EQ(kwFindCtrl<kwEdit>(&dialog, 185), edit) << "found by its control id";
    EXPECT_EQ(kwFindCtrl(&dialog, 999), nullptr);

    edit->SetByteLimit(5);
    edit->SetText("abcdefg");
    EXPECT_EQ(edit->Text(), "abcde");
    edit->SetText("ab\xC3\xA9\xC3\xA9"); // a b é é: 6 bytes
    EXPECT_EQ(edit->Text(), "ab\xC3\xA9") << "the second é would not fit whole";
    edit->SetText("a\xF0\x9F\x98\x80" "b"); // a, an emoji of 4 bytes, b
    EXPECT_EQ(edit->Text(), "a\xF0\x9F\x98\x80");
    edit->SetText("x\xF0\x9F\x98\x80\xF0\x9F\x98\x80");
    EXPECT_EQ(edit->Text(), "x\xF0\x9F\x98\x80") << "surrogate pairs leave together";

    edit->SetUpperCase(true);
    edit->SetText("qv-1");
    EXPECT_EQ(edit->Text(), "QV-1");
    edit->SetByteLimit(0);
    edit->SetText("a much longer text");
    EXPECT_EQ(edit->Text(), "A MUCH LONGER TEXT");
}
