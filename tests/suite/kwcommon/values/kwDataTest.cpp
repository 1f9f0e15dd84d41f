// Tests of the kwData family as a whole, through the base class: every kind round-trips
// through its shown text and the value carrier, survives hostile user text and carriers
// without throwing, clones, clears, and compares unrelated kinds by their shown texts.
#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/kwChoice.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwDateMonthYear.h"
#include "kwcommon/values/kwDouble.h"
#include "kwcommon/values/kwNum.h"
#include "kwcommon/values/kwPhone.h"
#include "kwcommon/values/kwSSNum.h"
#include "kwcommon/values/kwText.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/xio_dict.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// One sample value of every kind, not empty.
std::vector<std::unique_ptr<kwData>> Samples() {
    std::vector<std::unique_ptr<kwData>> values;
    values.push_back(std::make_unique<kwAlpha>("Open", 20));
    values.push_back(std::make_unique<kwText>("A long message\nwith two lines"));
    values.push_back(std::make_unique<kwDouble>(1234.5, 2));
    values.push_back(std::make_unique<kwNum<short>>(short{-12}));
    values.push_back(std::make_unique<kwNum<long>>(123456789L));
    values.push_back(std::make_unique<kwBool>(true));
    values.push_back(std::make_unique<kwDate>(2024, 2, 29));
    values.push_back(std::make_unique<kwDateMonthYear>(2024, 11));
    values.push_back(std::make_unique<kwTime>(23, 5, 0));
    values.push_back(std::make_unique<kwPhone>("5551234567"));
    values.push_back(std::make_unique<kwSSNum>(123456789L));
    values.push_back(
        std::make_unique<kwChoice>(std::vector<std::string>{"One", "Two", "Three"}, 2));
    return values;
}

} // namespace

TEST(kwData, EveryKindRoundTrips) {
    for (const auto& sample : Samples()) {
        const std::string shown = sample->Format();
        SCOPED_TRACE("kind " + std::to_string(sample->TypeCode()) + " showing '" + shown + "'");
        EXPECT_FALSE(sample->IsNull());

        auto viaText = sample->Clone();
        viaText->Clear();
        EXPECT_TRUE(viaText->Set(shown)) << "the shown text is accepted";
        EXPECT_EQ(viaText->Compare(*sample), 0);
        EXPECT_TRUE(*viaText == *sample);
        EXPECT_EQ(viaText->Format(), shown);

        x_value_def carrier;
        sample->ToXval(carrier);
        auto viaXval = sample->Clone();
        viaXval->Clear();
        EXPECT_TRUE(viaXval->FromXval(carrier));
        EXPECT_EQ(*viaXval, *sample);

        auto copy = sample->Clone();
        copy->Clear();
        EXPECT_TRUE(copy->CopyFrom(*sample));
        EXPECT_EQ(*copy, *sample);

        // The empty value round-trips too (a choice's empty value is "no item").
        auto empty = sample->Clone();
        empty->Clear();
        EXPECT_TRUE(empty->IsNull());
        empty->ToXval(carrier);
        auto emptyBack = sample->Clone();
        EXPECT_TRUE(emptyBack->FromXval(carrier));
        EXPECT_TRUE(emptyBack->IsNull());
        EXPECT_FALSE(*empty == *sample);
    }
}

TEST(kwData, HostileInputNeverThrows) {
    const std::string nul("a\0b", 3);
    const std::string huge(100000, '9');
    std::string binary;
    for (int c = 1; c < 256; ++c)
        binary += static_cast<char>(c);
    const std::vector<std::string> hostile = {"",
                                              " ",
                                              nul,
                                              huge,
                                              binary,
                                              "\xff\xfe\xfd",
                                              "\xc3",
                                              "-",
                                              "+",
                                              ".",
                                              "/",
                                              ":",
                                              "<",
                                              "<<",
                                              "<1",
                                              "<99999999999999999999>",
                                              "1e999",
                                              "-1e999",
                                              "NaN",
                                              "12/31/99999",
                                              "99:99:99",
                                              "0/0/0",
                                              "--1",
                                              "1,,,",
                                              "\t\r\n",
                                              "%s%n%d",
                                              "\x80\x80\x80"};
    for (const auto& sample : Samples()) {
        for (const auto& text : hostile) {
            auto value = sample->Clone();
            EXPECT_NO_THROW({
                const bool ok = value->Set(text);
                if (!ok && value->TypeCode() != XIO_TEXT) {
                    EXPECT_EQ(*value, *sample) << "a refused text changes nothing";
                }
                value->Format();
                kwString::ReplaceTermCodes(text);
            });
        }
        // Hostile carriers.
        x_value_def carriers[6];
        carriers[0].SetNumber(std::numeric_limits<double>::quiet_NaN());
        carriers[1].SetNumber(std::numeric_limits<double>::infinity());
        carriers[2].SetNumber(-std::numeric_limits<double>::infinity());
        carriers[3].SetNumber(1e300);
        carriers[4].SetNumber(-1e300);
        carriers[5].kind = 1234; // neither text nor number: read as text
        std::memset(carriers[5].text, 'x', sizeof carriers[5].text); // no terminating NUL
        for (const auto& carrier : carriers) {
            auto value = sample->Clone();
            EXPECT_NO_THROW({
                if (!value->FromXval(carrier)) {
                    EXPECT_EQ(*value, *sample) << "unchanged";
                }
                value->Format();
            });
        }
        // Copying from every other kind never throws; refused copies change nothing.
        for (const auto& other : Samples()) {
            auto value = sample->Clone();
            EXPECT_NO_THROW({
                if (!value->CopyFrom(*other)) {
                    EXPECT_EQ(*value, *sample);
                }
            });
        }
    }
}

TEST(kwData, UnrelatedKindsCompareShownTexts) {
    const kwBool yes(true);
    const kwAlpha text("Yes");
    const kwDate date(2024, 1, 5);
    const kwTime time(9, 0, 0);
    EXPECT_EQ(yes.Compare(text), 0) << "\"Yes\" == \"Yes\"";
    EXPECT_EQ(text.Compare(yes), 0);
    EXPECT_LT(date, time) << "\"01/05/2024\" < \"09:00:00\"";
    EXPECT_GT(time, date);
    EXPECT_GT(kwPhone("5551234"), kwSSNum(1)) << "\"555-1234\" > \"000-00-0001\"";
}

TEST(kwData, TypeCodes) {
    EXPECT_EQ(kwAlpha().TypeCode(), XIO_TEXT);
    EXPECT_EQ(kwText().TypeCode(), XIO_TEXT);
    EXPECT_EQ(kwDouble().TypeCode(), XIO_NUMBER);
    EXPECT_EQ(kwNum<short>().TypeCode(), XIO_NUMBER);
    EXPECT_EQ(kwNum<long>().TypeCode(), XIO_NUMBER);
    EXPECT_EQ(kwBool().TypeCode(), XIO_YESNO);
    EXPECT_EQ(kwDate().TypeCode(), XIO_DATE);
    EXPECT_EQ(kwDateMonthYear().TypeCode(), XIO_DATE);
    EXPECT_EQ(kwTime().TypeCode(), XIO_TIME);
    EXPECT_EQ(kwPhone().TypeCode(), XIO_PHONE);
    EXPECT_EQ(kwSSNum().TypeCode(), XIO_SSN);
    EXPECT_EQ(kwChoice().TypeCode(), XIO_CHOICE);
}
