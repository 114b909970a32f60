#include <gtest/gtest.h>

#include "core/export/JsonReader.h"

using namespace orbisk;

namespace {

// Writes the events back as compact text, so a test sees what was read.
struct Echo : JsonHandler {
    std::string out;
    bool BeginArray() override { return Put("["); }
    bool EndArray() override { return Put("]"); }
    bool BeginObject() override { return Put("{"); }
    bool Key(std::string_view key) override { return Put("k:" + std::string(key) + " "); }
    bool EndObject() override { return Put("}"); }
    bool String(std::string_view v) override { return Put("s:" + std::string(v) + " "); }
    bool Number(std::string_view t) override { return Put("n:" + std::string(t) + " "); }
    bool Literal(TJsonLiteral v) override {
        return Put(v == TJsonLiteral::True ? "T " : v == TJsonLiteral::False ? "F " : "N ");
    }
    bool Put(const std::string& s) {
        out += s;
        return true;
    }
};

} // namespace

TEST(JsonReader, ReadsExactlyTheGrammar) {
    const struct {
        std::string text;
        std::string events; // empty: refused
    } cases[] = {
        {" [1, -0, 2.5e+3, \"a\"] ", "[n:1 n:-0 n:2.5e+3 s:a ]"},
        {"{\"k\":{},\"l\":[[]]}", "{k:k {}k:l [[]]}"},
        {"[true,false,null]", "[T F N ]"},
        {"\"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\"",
         "s:\"\\/\b\f\n\r\té\xF0\x9F\x98\x80 "},
        {"\"raw \xe8 bytes\"", "s:raw \xe8 bytes "},
        {"[1,]", ""},
        {"[01]", ""},
        {"[1.]", ""},
        {"[.5]", ""},
        {"[1e]", ""},
        {"{\"a\" 1}", ""},
        {"{a:1}", ""},
        {"[1] 2", ""},
        {"", ""},
        {"[", ""},
        {"\"tab\there\"", ""},
        {"\"\\x\"", ""},
        {"\"\\ud800\"", ""},
        {"\"\\udc00\"", ""},
        {"\"\\u12\"", ""},
        {"[tru]", ""},
        {"// c\n1", ""},
        {"{\"a\":1,}", ""},
        {"[1 2]", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Echo echo;
        TJsonError error;
        const bool ok = ReadJson(c.text, echo, error);
        EXPECT_EQ(ok, !c.events.empty()) << error.Message;
        if (ok) {
            EXPECT_EQ(echo.out, c.events);
        }
        if (!ok) {
            EXPECT_FALSE(error.Message.empty());
        }
    }
}

TEST(JsonReader, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    Echo echo;
    TJsonError error;
    EXPECT_FALSE(ReadJson(std::string(kMaxJsonDepth + 1, '['), echo, error));
    EXPECT_EQ(error.Message, "nested too deeply");
    const std::string deep = std::string(5000, '[') + std::string(5000, ']');
    EXPECT_TRUE(ReadJson(deep, echo, error));
}

TEST(JsonReader, WholeNumbersWithinSixtyFourBits) {
    const struct {
        const char* text;
        bool ok;
        long long value;
    } cases[] = {
        {"0", true, 0},
        {"-12", true, -12},
        {"9223372036854775807", true, 9223372036854775807LL},
        {"-9223372036854775808", true, -9223372036854775807LL - 1},
        {"9223372036854775808", false, 0},
        {"1.5", false, 0},
        {"1e3", false, 0},
        {"-", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        long long v = 0;
        EXPECT_EQ(JsonWholeNumber(c.text, v), c.ok);
        if (c.ok) {
            EXPECT_EQ(v, c.value);
        }
    }
}
