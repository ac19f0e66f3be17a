#include "ParamServer.h"

#include <oleauto.h>

typedef HRESULT(__stdcall* NoArguments)(IParam*);
typedef HRESULT(__stdcall* OutText)(IParam*, BSTR*);
typedef HRESULT(__stdcall* OutLong)(IParam*, LONG*);
typedef HRESULT(__stdcall* OutBool)(IParam*, VARIANT_BOOL*);
typedef HRESULT(__stdcall* OutByte)(IParam*, BYTE*);
typedef HRESULT(__stdcall* InText)(IParam*, BSTR);
typedef HRESULT(__stdcall* InUShort)(IParam*, USHORT);
typedef VARIANT_BOOL(__stdcall* CheckText)(IParam*, BSTR);
typedef LONG(__stdcall* OptionText)(IParam*, LONG, BSTR*);

static void* SlotOf(IParam* param, int32_t slot) { return (*(void***)param)[slot]; }

/* The BSTR the helper sent (or null, as the extension passed it), of the
 * length already checked. */
static BSTR ReceivedText(const IsolationChannel* channel, int32_t textLength) {
    if (channel->param.pointerIsNull) return NULL;
    return SysAllocStringLen(channel->text, (UINT)textLength);
}

/* Hands a returned BSTR to the helper and frees the host's copy. Texts larger
 * than the channel are cut at its capacity (no IParam text comes near it). */
static void ReturnText(IsolationChannel* channel, BSTR text) {
    channel->param.textIsNull = text == NULL;
    UINT length = text ? SysStringLen(text) : 0;
    if (length > ChannelTextCapacity) length = ChannelTextCapacity;
    if (length) memcpy(channel->text, text, length * sizeof(wchar_t));
    channel->param.textLength = (int32_t)length;
    SysFreeString(text);
}

void ServeParamCall(IsolationChannel* channel, IParam* param) {
    ChannelParamCall* call = &channel->param;
    /* The request is written where the extension runs: its slot and text
     * length are read once and checked before the host's object is called. */
    const int32_t slot = *(volatile int32_t*)&call->slot;
    const int32_t textLength = *(volatile int32_t*)&call->textLength;
    if (slot < 0 || slot >= ParamSlotCount || textLength < 0 || textLength > ChannelTextCapacity) {
        call->result = E_INVALIDARG;
        return;
    }
    void* method = SlotOf(param, slot);
    const int outIsNull = call->pointerIsNull;
    switch (ParamSlotShape(slot)) {
    case ShapeIUnknown: call->result = E_NOTIMPL; break;
    case ShapeNoArguments: call->result = ((NoArguments)method)(param); break;
    case ShapeOutText: {
        BSTR text = NULL;
        call->result = ((OutText)method)(param, outIsNull ? NULL : &text);
        ReturnText(channel, text);
        break;
    }
    case ShapeOutLong: {
        LONG value = 0;
        call->result = ((OutLong)method)(param, outIsNull ? NULL : &value);
        call->outNumber = value;
        break;
    }
    case ShapeOutBool: {
        VARIANT_BOOL value = VARIANT_FALSE;
        call->result = ((OutBool)method)(param, outIsNull ? NULL : &value);
        call->outNumber = value;
        break;
    }
    case ShapeOutByte: {
        BYTE value = 0;
        call->result = ((OutByte)method)(param, outIsNull ? NULL : &value);
        call->outNumber = value;
        break;
    }
    case ShapeInText: {
        BSTR text = ReceivedText(channel, textLength);
        call->result = ((InText)method)(param, text);
        SysFreeString(text);
        break;
    }
    case ShapeInUShort: call->result = ((InUShort)method)(param, (USHORT)call->number); break;
    case ShapeCheckText: {
        BSTR text = ReceivedText(channel, textLength);
        call->result = ((CheckText)method)(param, text);
        SysFreeString(text);
        break;
    }
    case ShapeOptionText: {
        BSTR text = NULL;
        call->result = ((OptionText)method)(param, call->number, outIsNull ? NULL : &text);
        ReturnText(channel, text);
        break;
    }
    }
}
