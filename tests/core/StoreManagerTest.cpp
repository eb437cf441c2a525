#include <gtest/gtest.h>

#include "core/StoreManager.h"

TEST(StoreManagerTables, CaptionsTitlesAndTypes) {
    auto& store = StoreManager::shareStoreManager();
    EXPECT_EQ(store.getAccidentPhotoWithType(std::string("1")), "左前方事故全景");
    EXPECT_EQ(store.getAccidentPhotoWithType(std::string("07")), "本方车辆驾驶证");
    EXPECT_EQ(store.getAccidentPhotoWithType(std::string("15")), "无责方车辆识别代号");
    for (const char* other : {"0", "16", "-1", "abc", ""}) EXPECT_EQ(store.getAccidentPhotoWithType(std::string(other)), "其他");
    EXPECT_EQ(store.getAccidentPhotoWithType(std::nullopt), "其他");

    EXPECT_EQ(store.getTitleWithCode(std::string("1")), "待定责");
    EXPECT_EQ(store.getTitleWithCode(std::string("7")), "照片待审核");
    EXPECT_EQ(store.getTitleWithCode(std::string("6")), "已撤销案件");
    EXPECT_EQ(store.getTitleWithCode(std::string("5")), "完成");
    EXPECT_EQ(store.getTitleWithCode(std::string("99999999999999")), "完成");

    EXPECT_EQ(store.getCaseTypeWithCode(std::nullopt), "单车");
    EXPECT_EQ(store.getCaseTypeWithCode(std::string("x")), "单车");
    EXPECT_EQ(store.getCaseTypeWithCode(std::string("1")), "双车");
    EXPECT_EQ(store.getCaseTypeWithCode(std::string("2")), "多车");
    EXPECT_EQ(store.getCaseTypeWithCode(std::string("3")), std::nullopt);

    EXPECT_EQ(store.getCodeWithCity(std::string("上海市")), "3");
    EXPECT_EQ(store.getCodeWithCity(std::string("天津市")), std::nullopt);
    EXPECT_EQ(store.getCodeWithCity(std::nullopt), std::nullopt);

    EXPECT_EQ(store.getAccidentConfigureArray().at(1), "驾驶人姓名:  ");
    EXPECT_EQ(store.getHistoryDetailConfigureArray().size(), 7u);
    auto reasons = store.getAppraisalConfigureArray();
    ASSERT_EQ(reasons.size(), 5u);
    EXPECT_EQ(reasons[4], (nlohmann::json{{"reasoncode", "5"}, {"reasonname", "其他"}}));
}
