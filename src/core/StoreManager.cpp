#include "core/StoreManager.h"

#include "core/StringExtension.h"

StoreManager& StoreManager::shareStoreManager() {
    static StoreManager manager;
    return manager;
}

std::string StoreManager::getAccidentPhotoWithType(const std::optional<std::string>& code) const {
    static const char* captions[] = {"左前方事故全景", "右后方事故全景", "碰撞部位", "本方车辆损失全景",
                                     "对方车辆损失全景", "本方车辆行驶证", "本方车辆驾驶证", "对方车辆行驶证",
                                     "对方车辆驾驶证", "全责方车辆全景", "全责方损失部位", "全责方车辆识别代号",
                                     "无责方车辆全景", "无责方损失部位", "无责方车辆识别代号"};
    int n = StringExtension::intValue(code);
    if (n >= 1 && n <= 15) return captions[n - 1];
    return "其他";
}

std::string StoreManager::getTitleWithCode(const std::optional<std::string>& code) const {
    switch (StringExtension::intValue(code)) {
    case 1: return "待定责";
    case 2: return "待保险报案";
    case 3: return "待理赔";
    case 4: return "待评价";
    case 6: return "已撤销案件";
    case 7: return "照片待审核";
    default: return "完成";
    }
}

std::optional<std::string> StoreManager::getCaseTypeWithCode(const std::optional<std::string>& code) const {
    switch (StringExtension::intValue(code)) {
    case 0: return "单车";
    case 1: return "双车";
    case 2: return "多车";
    default: return std::nullopt;
    }
}

std::optional<std::string> StoreManager::getCodeWithCity(const std::optional<std::string>& city) const {
    if (!city) return std::nullopt;
    static const std::pair<const char*, const char*> table[] = {
        {"北京市", "0"}, {"深圳市", "1"}, {"广州市", "2"}, {"上海市", "3"}};
    for (const auto& [name, code] : table)
        if (*city == name) return code;
    return std::nullopt;
}

std::vector<std::string> StoreManager::getAccidentConfigureArray() const {
    return {"车牌号:  ", "驾驶人姓名:  ", "联系方式:  "};
}

std::vector<std::string> StoreManager::getHistoryDetailConfigureArray() const {
    return {"事故类型:  ", "出险时间:  ", "事故地点:  ", "事故车辆", "事故影像", "快处信息", "理赔信息"};
}

nlohmann::json StoreManager::getAppraisalConfigureArray() const {
    static const char* names[] = {"定损时间较长", "理赔时间较长", "系统响应时间较长", "系统人性化考虑不够", "其他"};
    nlohmann::json list = nlohmann::json::array();
    for (int i = 0; i < 5; ++i) list.push_back({{"reasoncode", std::to_string(i + 1)}, {"reasonname", names[i]}});
    return list;
}
