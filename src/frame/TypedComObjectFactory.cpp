#include "frame/TypedComObjectFactory.h"

#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "util/AnsiText.h"
#include "util/UniqueBstr.h"

using Microsoft::WRL::ComPtr;

TTypedComObjectFactory::TCoclass TTypedComObjectFactory::FindCoclass(TComServerObject& server,
                                                                     const TComObjectClass& objectClass,
                                                                     REFCLSID classId) {
    ComPtr<ITypeLib> library = server.TypeLibrary();
    TCoclass coclass;
    if (FAILED(library->GetTypeInfoOfGuid(classId, &coclass.Info)))
        throw EOleError(std::string("Type information missing for class ") + objectClass.Name);
    UniqueBstr name;
    UniqueBstr description;
    CheckPlatformResult(coclass.Info->GetDocumentation(MEMBERID_NIL, name.Receive(), description.Receive(), nullptr,
                                                       nullptr));
    coclass.Name = AnsiFromBstr(name.Get());
    coclass.Description = AnsiFromBstr(description.Get());
    return coclass;
}

TTypedComObjectFactory::TTypedComObjectFactory(TComServerObject& server, const TComObjectClass& objectClass,
                                               REFCLSID classId, TClassInstancing instancing,
                                               TThreadingModel threadingModel)
    : TTypedComObjectFactory(server, objectClass, classId, instancing, threadingModel,
                             FindCoclass(server, objectClass, classId)) {}

TTypedComObjectFactory::TTypedComObjectFactory(TComServerObject& server, const TComObjectClass& objectClass,
                                               REFCLSID classId, TClassInstancing instancing,
                                               TThreadingModel threadingModel, TCoclass coclass)
    : TComObjectFactory(server, objectClass, classId, std::move(coclass.Name), std::move(coclass.Description),
                        instancing, threadingModel),
      FClassInfo(std::move(coclass.Info)) {}
