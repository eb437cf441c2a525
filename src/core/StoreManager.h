#pragma once
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The static code-to-text tables. Codes "read as an integer" follow StringExtension::intValue
// (leading spaces and sign, then digits; anything else is 0).
class StoreManager {
public:
    static StoreManager& shareStoreManager();

    // Photo caption of an evidence step code: 1 "左前方事故全景" ... 15 "无责方车辆识别代号", else "其他".
    std::string getAccidentPhotoWithType(const std::optional<std::string>& code) const;
    // Case state title: 1 "待定责", 2 "待保险报案", 3 "待理赔", 4 "待评价", 6 "已撤销案件",
    // 7 "照片待审核", every other code "完成".
    std::string getTitleWithCode(const std::optional<std::string>& code) const;
    // Case type: 0 (also absent or non-numeric) "单车", 1 "双车", 2 "多车", nullopt otherwise.
    std::optional<std::string> getCaseTypeWithCode(const std::optional<std::string>& code) const;
    // Area code of a city: "北京市" "0", "深圳市" "1", "广州市" "2", "上海市" "3"; nullopt otherwise.
    std::optional<std::string> getCodeWithCity(const std::optional<std::string>& city) const;
    // A new list of the case vehicle row labels "车牌号:  ", "驾驶人姓名:  ", "联系方式:  ".
    std::vector<std::string> getAccidentConfigureArray() const;
    // A new list of the case detail labels.
    std::vector<std::string> getHistoryDetailConfigureArray() const;
    // The rating reasons: [{"reasoncode": "1", "reasonname": "定损时间较长"}, ...] (five entries).
    nlohmann::json getAppraisalConfigureArray() const;

private:
    StoreManager() = default;
};
