// The host's exception family: GS::Exception and GS::GeneralException with their kin.
#pragma once

#include "Definitions.hpp"
#include "UniString.hpp"

namespace GS {

class Exception {
public:
    explicit Exception(const UniString& message = {}, GSErrCode errorCode = ErrParam)
        : message_(message), errorCode_(errorCode)
    {
    }
    virtual ~Exception() = default;

    const UniString& GetMessage() const { return message_; }
    GSErrCode GetErrorCode() const { return errorCode_; }
    virtual const char* GetName() const { return "Exception"; }

private:
    UniString message_;
    GSErrCode errorCode_;
};

#define GS_DECLARE_EXCEPTION(Name, Base)                                                                               \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
        const char* GetName() const override { return #Name; }                                                         \
    };

GS_DECLARE_EXCEPTION(GeneralException, Exception)
GS_DECLARE_EXCEPTION(LogicErrorException, GeneralException)
GS_DECLARE_EXCEPTION(IllegalArgumentException, LogicErrorException)
GS_DECLARE_EXCEPTION(IndexOutOfRangeException, LogicErrorException)
GS_DECLARE_EXCEPTION(ClassCastException, LogicErrorException)
GS_DECLARE_EXCEPTION(RunTimeErrorException, GeneralException)
GS_DECLARE_EXCEPTION(OutOfMemoryException, RunTimeErrorException)

#undef GS_DECLARE_EXCEPTION

}  // namespace GS
