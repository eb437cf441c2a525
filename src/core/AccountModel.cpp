#include "core/AccountModel.h"

#include "core/KeyedArchiver.h"

AccountModel::AccountModel(const Coder& coder)
    : userid(coder.decodeStringForKey("userid")),
      sn(coder.decodeStringForKey("sn")),
      phoneNumber(coder.decodeStringForKey("phoneNumber")) {}

void AccountModel::encodeWithCoder(Coder& coder) const {
    coder.encodeObject("userid", userid);
    coder.encodeObject("sn", sn);
    coder.encodeObject("phoneNumber", phoneNumber);
}
