#include "LogLines.h"

#include <libdruxclient/DruxClient2.h>
#include <libdruxclient/DruxClientUserid.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;

namespace {

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

TEST_F(UpdateListParsing, TextThatIsNotJsonIsQuotedWithTheReaderMessages)
{
    EXPECT_EQ(parse("[{\"appname\": }"), 14);
    const std::vector<std::string> lines = messages();
    ASSERT_EQ(lines.size(), 1u);
    const std::string prefix =
        "fatal error, invalid json format: [{\"appname\": }, errmsg: * Line 1, Column ";
    EXPECT_EQ(lines[0].substr(0, prefix.size()), prefix);
    EXPECT_TRUE(list.empty());

    EXPECT_EQ(parse(""), 14);
}

TEST_F(UpdateListParsing, RecordsAreAppendedInArrayOrder)
{
    list.resize(1);
    list[0].appname = "kept";
    EXPECT_EQ(parse(kTwoRecords), 0);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].appname, "kept");

    const DRUX::DruxUpdateInfo& first = list[1];
    EXPECT_EQ(first.appname, "Mirn6_QualityControl");
    EXPECT_EQ(first.version, "6.2.1.7");
    EXPECT_EQ(first.desc, "fixes");
    EXPECT_EQ(first.title, "Quality Control");
    EXPECT_EQ(first.canUpdate, 1);
    EXPECT_EQ(first.bits, 64);
    EXPECT_EQ(first.sp, 1);
    EXPECT_EQ(first.silent, 0);
    EXPECT_EQ(first.fsize, 123456u);
    EXPECT_EQ(first.opentime, 0);

    const DRUX::DruxUpdateInfo& second = list[2];
    EXPECT_EQ(second.appname, "Second");
    EXPECT_EQ(second.bits, 32);
    EXPECT_EQ(second.opentime, 4294967295LL);
    EXPECT_EQ(second.canUpdate, 1);
    EXPECT_THAT(messages(), ElementsAre("can update to 3 subapps"));
}

TEST_F(UpdateListParsing, MissingKeysReadAsEmptyOrZeroAndOtherKeysAreIgnored)
{
    EXPECT_EQ(parse(R"([{"appname":"A","bits":64,"extra":[1,{"x":2}],"fsize":null}])"), 0);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].appname, "A");
    EXPECT_EQ(list[0].desc, "");
    EXPECT_EQ(list[0].version, "");
    EXPECT_EQ(list[0].fsize, 0u);
    EXPECT_EQ(list[0].sp, 0);
    EXPECT_EQ(list[0].opentime, 0);
    EXPECT_EQ(list[0].canUpdate, 1);
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
        {R"([{"appname":"A","bits":"64"}])", "element 0, 'bits' is not a 32-bit integer"},
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

TEST_F(UpdateListParsing, DeepNestingIsRefusedAsNotJson)
{
    const std::string deep = std::string(1000, '[') + std::string(1000, ']');
    EXPECT_EQ(parse(deep), 14);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0], "fatal error, invalid json format: " + deep +
                                 ", errmsg: Exceeded stackLimit in readValue().");

    // Far past any stack: still a plain answer.
    EXPECT_EQ(parse(std::string(1000000, '[')), 14);
    EXPECT_TRUE(list.empty());
}

TEST_F(UpdateListParsing, UserFlavourReadsTheSameRecords)
{
    std::vector<DRUX::DruxUpdateInfoUserid> users;
    EXPECT_EQ(DRUX::DruxClientUserid::parseUpdateList(kTwoRecords, users), 0);
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].appname, "Mirn6_QualityControl");
    EXPECT_EQ(users[0].fsize, 123456u);
    EXPECT_EQ(users[1].opentime, 4294967295LL);
    EXPECT_EQ(users[1].canUpdate, 1);
    EXPECT_EQ(DRUX::DruxClientUserid::parseUpdateList("[]", users), 7);
    EXPECT_EQ(users.size(), 2u);
}

} // namespace
