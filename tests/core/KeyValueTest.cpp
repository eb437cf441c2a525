#include <gtest/gtest.h>

#include "core/AccidentPhoto.h"
#include "core/BackCodeModel.h"
#include "core/CaseCar.h"
#include "core/ImageRequestModel.h"
#include "core/InsuranceCompany.h"
#include "core/KeyedArchiver.h"
#include "core/MessageRequest.h"
#include "core/Story.h"
#include "platform/foundation/Sandbox.h"
#include "support/PlatformTest.h"

using nlohmann::json;

TEST(KeyValueMapping, MissingExtraAndMistypedKeys) {
    json dict = {{"inscomname", "中国人保"},        // string
                 {"inscomcode", 1002},              // number for a string property
                 {"insphone", {{"a", 1}}},          // object: wrong kind
                 {"unknown", "ignored"}};           // no such property
    auto company = InsuranceCompany::objectWithKeyValues(dict);
    EXPECT_EQ(company->inscomname, "中国人保");
    EXPECT_EQ(company->inscomcode, "1002");
    EXPECT_EQ(company->insphone, std::nullopt);
    EXPECT_EQ(company->insreporttel, std::nullopt);  // missing
    EXPECT_EQ(company->keyValues(), (json{{"inscomname", "中国人保"}, {"inscomcode", "1002"}}));

    auto numbers = InsuranceCompany::objectWithKeyValues(
        {{"inscomname", 116.397}, {"inscomcode", 3.0}, {"insphone", true}, {"insreporttel", nullptr}});
    EXPECT_EQ(numbers->inscomname, "116.397");
    EXPECT_EQ(numbers->inscomcode, "3");
    EXPECT_EQ(numbers->insphone, "1");
    EXPECT_EQ(numbers->insreporttel, std::nullopt);
}

TEST(KeyValueMapping, RoundTripLeavesOutNilProperties) {
    ImageRequestModel record;
    record.userid = "10001";
    record.imagetype = "7";
    record.contentdata = "";  // empty is a value, nil is not
    json dict = record.keyValues();
    EXPECT_EQ(dict, (json{{"userid", "10001"}, {"imagetype", "7"}, {"contentdata", ""}}));
    auto back = ImageRequestModel::objectWithKeyValues(dict);
    EXPECT_EQ(back->keyValues(), dict);
    EXPECT_EQ(ImageRequestModel::propertyNames().size(), 12u);
    EXPECT_EQ(ImageRequestModel::propertyNames().front(), "userid");
    EXPECT_EQ(ImageRequestModel::propertyNames().back(), "flowtype");

    MessageRequest message;
    message.from = "10001";
    message.type = "0";
    EXPECT_EQ(message.keyValues(), (json{{"from", "10001"}, {"type", "0"}}));
}

TEST(KeyValueMapping, ArraysAndNonDictionaries) {
    EXPECT_FALSE(InsuranceCompany::objectArrayWithKeyValuesArray(json("list")).has_value());
    EXPECT_FALSE(InsuranceCompany::objectArrayWithKeyValuesArray(json()).has_value());
    auto list = InsuranceCompany::objectArrayWithKeyValuesArray(
        json::array({{{"inscomname", "甲"}}, 5, {{"inscomname", "乙"}}, nullptr}));
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0]->inscomname, "甲");
    EXPECT_EQ((*list)[1]->inscomname, "乙");

    auto envelope = BackCodeModel::objectWithKeyValues(json());
    EXPECT_FALSE(envelope->rescode || envelope->resdes);
    EXPECT_FALSE(envelope->isSuccess());
    EXPECT_TRUE(BackCodeModel::objectWithKeyValues({{"rescode", 200}})->isSuccess());
    EXPECT_FALSE(BackCodeModel::objectWithKeyValues({{"rescode", "201"}})->isSuccess());
}

TEST(KeyValueMapping, StoryFromListAndDetailReplies) {
    json entry = {{"casetype", "1"},
                  {"state", 7},
                  {"accidentno", "BJ202612070001"},
                  {"casecarlist", json::array({{{"casecarno", "京A12345"}, {"carownname", "张三"}}})},
                  {"accidentimagelist", json::array({{{"imagetype", "3"}}})},
                  {"insuranceimagelist", json::array({"a.jpg"})}};
    auto listed = Story::objectWithKeyValues(entry);
    EXPECT_EQ(listed->state, "7");
    ASSERT_TRUE(listed->casecarlist);
    EXPECT_EQ((*listed->casecarlist)[0]->carownname, "张三");
    EXPECT_FALSE(listed->accidentimageList) << "only a key written \"accidentimageList\" fills it from a list entry";
    EXPECT_EQ(listed->insuranceimagelist, json::array({"a.jpg"}));

    auto detail = Story::storyWithDetailReply(entry);
    ASSERT_TRUE(detail->accidentimageList);
    ASSERT_EQ(detail->accidentimageList->size(), 1u);
    EXPECT_EQ((*detail->accidentimageList)[0]->imagetype, "3");

    json withoutPhotos = entry;
    withoutPhotos.erase("accidentimagelist");
    withoutPhotos["accidentimageList"] = json::array({{{"imagetype", "1"}}});
    auto bare = Story::storyWithDetailReply(withoutPhotos);
    ASSERT_TRUE(bare->accidentimageList);
    EXPECT_TRUE(bare->accidentimageList->empty());

    json back = detail->keyValues();
    EXPECT_EQ(back["casecarlist"], json::array({{{"casecarno", "京A12345"}, {"carownname", "张三"}}}));
}

class ArchiveTest : public PlatformTest {};

TEST_F(ArchiveTest, StoryKeepsSixteenFieldsAndDropsTheTelephones) {
    Story story;
    story.casetype = "2";
    story.state = "3";
    story.casecarno = "京B99999";
    story.accidentno = "BJ1";
    story.casenumber = "C1";
    story.caseaddress = "北京市朝阳区";
    story.inscompany = "人保";
    story.cpsmoney = "1200";
    story.resbookimgurl = "http://x/y.jpg";
    story.insuranceimagelist = json::array({"i.jpg"});
    story.acctype = "1";
    story.reportime = "2026-12-07 09:00:00";
    story.inscomname = "人保财险";
    story.inscomcode = "PICC";
    story.instel = "95518";
    story.insreporttel = "95518-1";
    auto car = std::make_shared<CaseCar>();
    car->casecarno = "京A12345";
    car->carownphone = "13800138000";
    story.casecarlist = std::vector{car};
    auto photo = std::make_shared<AccidentPhoto>();
    photo->imageurl = "http://x/p.jpg";
    photo->imagetype = "6";
    story.accidentimageList = std::vector{photo};

    auto path = foundation::Sandbox::current().documents() / "story.data";
    ASSERT_TRUE(KeyedArchiver::archiveRootObject(story, Story::kClassName, path));
    auto back = KeyedArchiver::unarchiveObjectWithFile<Story>(path, Story::kClassName);
    ASSERT_TRUE(back);
    json expected = story.keyValues();
    expected.erase("instel");
    expected.erase("insreporttel");
    EXPECT_EQ(back->keyValues(), expected);
    EXPECT_FALSE(back->instel);
    EXPECT_FALSE(back->insreporttel);
}

TEST_F(ArchiveTest, CaseRecordsRestoreAndBadArchivesGiveNothing) {
    CaseCar car;
    car.casecarno = "京A12345";
    car.carownname = "李四";
    auto data = KeyedArchiver::archivedDataWithRootObject(car, CaseCar::kClassName);
    auto restored = KeyedArchiver::unarchiveObjectWithData<CaseCar>(data, CaseCar::kClassName);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->keyValues(), car.keyValues());

    AccidentPhoto photo;
    photo.imageaddress = "东三环";
    photo.imagedate = "2026-12-07 10:00";
    auto photoData = KeyedArchiver::archivedDataWithRootObject(photo, AccidentPhoto::kClassName);
    EXPECT_EQ(KeyedArchiver::unarchiveObjectWithData<AccidentPhoto>(photoData, AccidentPhoto::kClassName)->keyValues(),
              photo.keyValues());

    EXPECT_FALSE(KeyedArchiver::unarchiveObjectWithData<AccidentPhoto>(data, AccidentPhoto::kClassName))
        << "an archive of another class";
    EXPECT_FALSE(KeyedArchiver::unarchiveObjectWithData<CaseCar>(data.substr(0, data.size() / 2), CaseCar::kClassName));
    EXPECT_FALSE(KeyedArchiver::unarchiveObjectWithData<CaseCar>("not a plist", CaseCar::kClassName));
    EXPECT_FALSE(KeyedArchiver::unarchiveObjectWithFile<CaseCar>(
        foundation::Sandbox::current().documents() / "missing.data", CaseCar::kClassName));
}
