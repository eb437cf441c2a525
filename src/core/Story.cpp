#include "core/Story.h"

const std::vector<keyvalue::Property<Story>>& Story::keyValueProperties() {
    static const std::vector<keyvalue::Property<Story>> properties = {
        keyvalue::string("casetype", &Story::casetype),
        keyvalue::string("state", &Story::state),
        keyvalue::string("casecarno", &Story::casecarno),
        keyvalue::string("accidentno", &Story::accidentno),
        keyvalue::string("casenumber", &Story::casenumber),
        keyvalue::models("casecarlist", &Story::casecarlist),
        keyvalue::models("accidentimageList", &Story::accidentimageList),
        keyvalue::string("caseaddress", &Story::caseaddress),
        keyvalue::string("inscompany", &Story::inscompany),
        keyvalue::string("cpsmoney", &Story::cpsmoney),
        keyvalue::string("resbookimgurl", &Story::resbookimgurl),
        keyvalue::array("insuranceimagelist", &Story::insuranceimagelist),
        keyvalue::string("acctype", &Story::acctype),
        keyvalue::string("reportime", &Story::reportime),
        keyvalue::string("inscomname", &Story::inscomname),
        keyvalue::string("inscomcode", &Story::inscomcode),
        keyvalue::string("instel", &Story::instel),
        keyvalue::string("insreporttel", &Story::insreporttel),
    };
    return properties;
}

Story::Story(const Coder& coder) {
    casetype = coder.decodeStringForKey("casetype");
    state = coder.decodeStringForKey("state");
    casecarno = coder.decodeStringForKey("casecarno");
    accidentno = coder.decodeStringForKey("accidentno");
    casenumber = coder.decodeStringForKey("casenumber");
    casecarlist = coder.decodeObjectsForKey<CaseCar>("casecarlist");
    caseaddress = coder.decodeStringForKey("caseaddress");
    inscompany = coder.decodeStringForKey("inscompany");
    cpsmoney = coder.decodeStringForKey("cpsmoney");
    resbookimgurl = coder.decodeStringForKey("resbookimgurl");
    insuranceimagelist = coder.decodeObjectForKey("insuranceimagelist");
    if (insuranceimagelist && !insuranceimagelist->is_array()) insuranceimagelist.reset();
    acctype = coder.decodeStringForKey("acctype");
    reportime = coder.decodeStringForKey("reportime");
    inscomname = coder.decodeStringForKey("inscomname");
    inscomcode = coder.decodeStringForKey("inscomcode");
    accidentimageList = coder.decodeObjectsForKey<AccidentPhoto>("accidentimageList");
}

void Story::encodeWithCoder(Coder& coder) const {
    coder.encodeObject("casetype", casetype);
    coder.encodeObject("state", state);
    coder.encodeObject("casecarno", casecarno);
    coder.encodeObject("accidentno", accidentno);
    coder.encodeObject("casenumber", casenumber);
    coder.encodeObject("casecarlist", casecarlist);
    coder.encodeObject("caseaddress", caseaddress);
    coder.encodeObject("inscompany", inscompany);
    coder.encodeObject("cpsmoney", cpsmoney);
    coder.encodeObject("resbookimgurl", resbookimgurl);
    coder.encodeObject("insuranceimagelist", insuranceimagelist);
    coder.encodeObject("acctype", acctype);
    coder.encodeObject("reportime", reportime);
    coder.encodeObject("inscomname", inscomname);
    coder.encodeObject("inscomcode", inscomcode);
    coder.encodeObject("accidentimageList", accidentimageList);
}

std::shared_ptr<Story> Story::storyWithDetailReply(const nlohmann::json& reply) {
    auto story = objectWithKeyValues(reply);
    const nlohmann::json empty;
    auto photos = reply.is_object() && reply.contains("accidentimagelist") ? reply["accidentimagelist"] : empty;
    story->accidentimageList =
        AccidentPhoto::objectArrayWithKeyValuesArray(photos).value_or(std::vector<std::shared_ptr<AccidentPhoto>>{});
    auto cars = reply.is_object() && reply.contains("casecarlist") ? reply["casecarlist"] : empty;
    story->casecarlist = CaseCar::objectArrayWithKeyValuesArray(cars).value_or(std::vector<std::shared_ptr<CaseCar>>{});
    return story;
}
