#include "dll/ClassFactories.h"

#include "contracts/OvixParamTransactor_TLB.h"
#include "frame/AutoObjectFactory.h"
#include "transactor/ParamTransactorUnt.h"

namespace {

const TComObjectClass ParamTransactorClass = ComObjectClassOf<TParamTransactor>("TParamTransactor");

}  // namespace

void CreateClassFactories(TComServer& server) {
    new TAutoObjectFactory(server, ParamTransactorClass, CLSID_ParamTransactor, TClassInstancing::MultiInstance,
                           TThreadingModel::Apartment);
}
