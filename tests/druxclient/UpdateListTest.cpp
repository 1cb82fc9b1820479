#include "LogLines.h"

#include <libdruxclient/DruxClient2.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

using testing::ElementsAre;

namespace {

// The list parser's corners; the fault matrix has the lists a host meets
// (not JSON, empty, a wrong type, deep, huge, cut short, odd bytes), and the
// fuzzer checks both flavours agree on any input.
class UpdateListParsing : public testing::Test
{
protected:
    int parse(const std::string& json)
    {
        capture.clear();
        return DRUX::DruxClient2::parseUpdateList(json, list);
    }

    std::vector<std::string> messages() const { return loggedMessages(capture); }

    DebugCapture capture;
    std::vector<DRUX::DruxUpdateInfo> list;
};

const char* const kTwoRecords =
    R"([{"appname":"Mirn6_QualityControl","version":"6.2.1.7","desc":"fixes","title":"Quality Control",)"
    R"("bits":64,"sp":1,"silent":0,"fsize":123456,"opentime":0},)"
    R"({"opentime":4294967295,"fsize":7,"silent":1,"sp":2,"bits":32,"title":"T","desc":"D",)"
    R"("version":"1.0","appname":"Second"}])";

TEST_F(UpdateListParsing, EmptyArrayAndNullAreAnEmptyList)
{
    for (const char* json : {"[]", "null", "{}", "\"text\""}) {
        EXPECT_EQ(parse(json), 7) << json;
        EXPECT_THAT(messages(), ElementsAre("not an array object or empty array!")) << json;
        EXPECT_TRUE(list.empty());
    }
}

// Every member in its field; missing members empty or zero, unknown ones ignored.
TEST_F(UpdateListParsing, RecordsAreAppendedInArrayOrder)
{
    const auto fields = [](const DRUX::DruxUpdateInfo& r) {
        return std::make_tuple(r.appname, r.version, r.desc, r.title, r.canUpdate, r.bits, r.sp,
                               r.silent, r.fsize, r.opentime);
    };
    list.resize(1);
    list[0].appname = "kept";
    EXPECT_EQ(parse(kTwoRecords), 0);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].appname, "kept");
    EXPECT_EQ(fields(list[1]), std::make_tuple("Mirn6_QualityControl", "6.2.1.7", "fixes",
                                               "Quality Control", 1, 64, 1, 0, 123456u, 0));
    EXPECT_EQ(fields(list[2]),
              std::make_tuple("Second", "1.0", "D", "T", 1, 32, 2, 1, 7u, 4294967295LL));
    EXPECT_THAT(messages(), ElementsAre("can update to 3 subapps"));

    list.clear();
    EXPECT_EQ(parse(R"([{"appname":"A","bits":64,"extra":[1,{"x":2}],"fsize":null}])"), 0);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(fields(list[0]), std::make_tuple("A", "", "", "", 1, 64, 0, 0, 0u, 0));
}

// Valid JSON of the wrong shape must neither throw into the host nor leave
// half a list: 7 with one line naming the fault.
TEST_F(UpdateListParsing, WrongTypesLeaveTheListAsItWas)
{
    const struct
    {
        const char* json;
        const char* line;
    } cases[] = {
        {R"([{"appname":"A"}, [1, 2]])", "element 1 is not an object"},
        {R"([{"appname":"A"}, null])", "element 1 is not an object"},
        {R"(["Mirn6_QualityControl"])", "element 0 is not an object"},
        {R"([{"fsize":-1}])", "element 0, 'fsize' is not an unsigned 32-bit integer"},
        {R"([{"opentime":4294967296}])", "element 0, 'opentime' is not an unsigned 32-bit integer"},
        {R"([{"sp":2147483648}])", "element 0, 'sp' is not a 32-bit integer"},
        {R"([{"silent":true}])", "element 0, 'silent' is not a 32-bit integer"},
        {R"([{"bits":64.5}])", "element 0, 'bits' is not a 32-bit integer"},
        {R"([{"appname":5}])", "element 0, 'appname' is not a string"},
        {R"([{"title":{"zh":"x"}}])", "element 0, 'title' is not a string"},
    };
    for (const auto& wrong : cases) {
        list.assign(1, DRUX::DruxUpdateInfo());
        EXPECT_EQ(parse(wrong.json), 7) << wrong.json;
        EXPECT_EQ(list.size(), 1u) << wrong.json;
        EXPECT_THAT(messages(),
                    ElementsAre(std::string("fatal error, invalid update list: ") + wrong.line))
            << wrong.json;
    }
}

TEST_F(UpdateListParsing, NestingPastTheStackLimitIsNotJson)
{
    const std::string deep = std::string(1000, '[') + std::string(1000, ']');
    EXPECT_EQ(parse(deep), 14);
    EXPECT_THAT(messages(), ElementsAre("fatal error, invalid json format: " + deep +
                                        ", errmsg: Exceeded stackLimit in readValue()."));
    EXPECT_EQ(parse(""), 14);
    EXPECT_TRUE(list.empty());
}

} // namespace
