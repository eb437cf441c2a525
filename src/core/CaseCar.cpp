#include "core/CaseCar.h"

const std::vector<keyvalue::Property<CaseCar>>& CaseCar::keyValueProperties() {
    static const std::vector<keyvalue::Property<CaseCar>> properties = {
        keyvalue::string("casecarno", &CaseCar::casecarno),
        keyvalue::string("carownname", &CaseCar::carownname),
        keyvalue::string("carownphone", &CaseCar::carownphone),
    };
    return properties;
}

CaseCar::CaseCar(const Coder& coder) {
    casecarno = coder.decodeStringForKey("casecarno");
    carownname = coder.decodeStringForKey("carownname");
    carownphone = coder.decodeStringForKey("carownphone");
}

void CaseCar::encodeWithCoder(Coder& coder) const {
    coder.encodeObject("casecarno", casecarno);
    coder.encodeObject("carownname", carownname);
    coder.encodeObject("carownphone", carownphone);
}
