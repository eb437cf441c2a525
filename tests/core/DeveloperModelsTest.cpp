#include <algorithm>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "core/ModelDeclarationPrinter.h"
#include "core/QuikeHandleRequest.h"
#include "platform/foundation/Log.h"

using nlohmann::json;

namespace {

TEST(QuikeHandleRequest, RoundTripsItsFiveFieldsUnderTheirOwnNames) {
    QuikeHandleRequest request;
    request.userid = "10001";
    request.sn = "5F2A";
    request.appkey = "veskard";
    request.accidentno = "BJ202612070011";
    request.paperno = "";  // empty is a value, nil is not
    json dict = request.keyValues();
    EXPECT_EQ(dict, (json{{"userid", "10001"}, {"sn", "5F2A"}, {"appkey", "veskard"},
                          {"accidentno", "BJ202612070011"}, {"paperno", ""}}));
    auto back = QuikeHandleRequest::objectWithKeyValues(dict);
    EXPECT_EQ(back->keyValues(), dict);
    EXPECT_EQ(QuikeHandleRequest::propertyNames(),
              (std::vector<std::string>{"userid", "sn", "appkey", "accidentno", "paperno"}));

    // Nil fields are left out; numbers read as text; wrong kinds stay nil.
    auto partial = QuikeHandleRequest::objectWithKeyValues({{"userid", 10001}, {"paperno", json::array()}});
    EXPECT_EQ(partial->userid, "10001");
    EXPECT_EQ(partial->paperno, std::nullopt);
    EXPECT_EQ(partial->keyValues(), (json{{"userid", "10001"}}));
}

// The log lines the printer writes while `work` runs.
std::vector<std::string> loggedLines(const std::function<void()>& work) {
    bool wasEnabled = foundation::logEnabled();
    foundation::setLogEnabled(true);
    testing::internal::CaptureStderr();
    work();
    std::string captured = testing::internal::GetCapturedStderr();
    foundation::setLogEnabled(wasEnabled);
    std::vector<std::string> lines;
    std::istringstream in(captured);
    const std::string prefix = "[veskard] ";
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
    return lines;
}

TEST(ModelDeclarationPrinter, LogsOneDeclarationPerKeyTypedByItsValue) {
    json reply = json::parse(R"({"rescode": "200", "total": 3, "ratio": 0.5, "list": [{"a": 1}],
                                 "content": {"k": "v"}, "read": true, "note": null})");
    std::string returned;
    auto lines = loggedLines([&] { returned = ModelDeclarationPrinter::createDeclareStringWithDict(reply); });
    // Our dictionaries keep their keys sorted, so that is the order of the lines.
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "std::optional<nlohmann::json> content;  // dictionary",
                         "std::optional<nlohmann::json> list;  // array",
                         "std::optional<std::string> note;",
                         "std::optional<std::string> ratio;",
                         "std::optional<std::string> read;",
                         "std::optional<std::string> rescode;",
                         "std::optional<std::string> total;",
                     }));
    std::string joined;
    for (const auto& line : lines) joined += line + "\n";
    EXPECT_EQ(returned, joined);
}

TEST(ModelDeclarationPrinter, KeysComeInTheDictionarysOrderNotTheOrderTheyWereWritten) {
    json dict;
    dict["zeta"] = "1";
    dict["alpha"] = json::array();
    dict["mid"] = 2;
    auto lines = loggedLines([&] { ModelDeclarationPrinter::createDeclareStringWithDict(dict); });
    ASSERT_EQ(lines.size(), 3u);
    std::vector<std::string> keysInDictOrder;
    for (const auto& [key, value] : dict.items()) keysInDictOrder.push_back(key);
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find(" " + keysInDictOrder[i] + ";"), std::string::npos) << lines[i];
    EXPECT_EQ(keysInDictOrder.front(), "alpha");
}

TEST(ModelDeclarationPrinter, ARequestModelsDictionaryDeclaresItsStringFields) {
    QuikeHandleRequest request;
    request.userid = "1";
    request.sn = "2";
    request.appkey = "3";
    request.accidentno = "4";
    request.paperno = "5";
    auto lines = loggedLines([&] { ModelDeclarationPrinter::createDeclareStringWithDict(request.keyValues()); });
    ASSERT_EQ(lines.size(), QuikeHandleRequest::propertyNames().size());
    for (const auto& name : QuikeHandleRequest::propertyNames())
        EXPECT_NE(std::find(lines.begin(), lines.end(), "std::optional<std::string> " + name + ";"), lines.end()) << name;
}

TEST(ModelDeclarationPrinter, NoDictionaryDeclaresNothingAndKeysStayOnOneLine) {
    for (const json& value : {json::array({1, 2}), json("text"), json(nullptr), json(7)}) {
        std::string returned = "unset";
        auto lines = loggedLines([&] { returned = ModelDeclarationPrinter::createDeclareStringWithDict(value); });
        EXPECT_EQ(returned, "") << value.dump();
        ASSERT_EQ(lines.size(), 1u) << value.dump();
        EXPECT_NE(lines[0].find("no dictionary"), std::string::npos) << lines[0];
    }
    auto lines = loggedLines([] { ModelDeclarationPrinter::createDeclareStringWithDict({{"two\nlines", "x"}}); });
    EXPECT_EQ(lines, std::vector<std::string>{"std::optional<std::string> two?lines;"});
    EXPECT_EQ(ModelDeclarationPrinter::createDeclareStringWithDict(json::object()), "");
}

}  // namespace
