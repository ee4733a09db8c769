// The host's exception family as GSRoot's GSException.hpp declares it: GS::GSException (GS::Exception) with
// its message, the file and line it was thrown from and an id fixed by its class (GetID), and the classes
// derived from it virtually. A class derived from one of them constructs GS::GSException itself, as
// IMPLEMENT_EXCEPTION_CLASS does; whatever it passes to its direct base's constructor is not the message.
// The hierarchy and the ids follow an older kit's public header (the 28 kit's was not at hand to compare);
// GS::ClassCastException is a threading exception there, not a GS::GeneralException.
#pragma once

#include "Definitions.hpp"
#include "UniString.hpp"

#include <new>

#ifndef GSROOT_DLL_EXPORT
#define GSROOT_DLL_EXPORT
#endif

namespace GS {

class GSException {
public:
    explicit GSException(const char* message = nullptr, const char* fileName = nullptr, UInt32 lineNumber = 0,
                         const GSException* cause = nullptr, Int32 id = 0);
    explicit GSException(const char* message, const char* fileName, UInt32 lineNumber, const GSException& cause,
                         Int32 id);
    explicit GSException(const UniString& message, const char* fileName = nullptr, UInt32 lineNumber = 0,
                         const GSException* cause = nullptr, Int32 id = 0);
    explicit GSException(const UniString& message, const char* fileName, UInt32 lineNumber, const GSException& cause,
                         Int32 id);
    GSException(const GSException& source);
    GSException& operator=(const GSException& source);
    virtual ~GSException();

    void SetMessage(const UniString& message);
    void SetMessage(const char* message);

    virtual const char* GetName() const;
    virtual Int32 GetID() const;
    virtual const UniString& GetMessage() const;
    virtual const char* GetFileName() const;
    virtual UInt32 GetLineNumber() const;
    virtual GSException* Clone() const;
    virtual const GSException* GetCause() const;
    virtual GSException* GetCause();

private:
    Int32 id_;
    UniString message_;
    const char* fileName_;
    UInt32 lineNumber_;
    GSException* cause_;
};

using Exception = GSException;

class GeneralException : virtual public GSException {
public:
    explicit GeneralException(const char* msg, const char* fName, UInt32 lNumber, const GSException& cause)
        : GSException(msg, fName, lNumber, cause, Error)
    {
    }
    explicit GeneralException(const char* msg = nullptr, const char* fName = nullptr, UInt32 lNumber = 0)
        : GSException(msg, fName, lNumber, nullptr, Error)
    {
    }
    explicit GeneralException(const UniString& msg, const char* fName, UInt32 lNumber, const GSException& cause)
        : GSException(msg, fName, lNumber, cause, Error)
    {
    }
    explicit GeneralException(const UniString& msg, const char* fName = nullptr, UInt32 lNumber = 0)
        : GSException(msg, fName, lNumber, nullptr, Error)
    {
    }
    const char* GetName() const override;
    GSException* Clone() const override;
};

#define DECLARE_EXCEPTION_CLASS_WITH_CLASS_SPEC(classSpec, className, baseClassName, errId)                            \
    class classSpec : virtual public baseClassName {                                                                   \
    public:                                                                                                            \
        explicit className(const char* msg, const char* fName, UInt32 lNumber, const GS::GSException& cause);          \
        explicit className(const char* msg = nullptr, const char* fName = nullptr, UInt32 lNumber = 0);                \
        explicit className(const GS::UniString& msg, const char* fName, UInt32 lNumber, const GS::GSException& cause); \
        explicit className(const GS::UniString& msg, const char* fName = nullptr, UInt32 lNumber = 0);                 \
        const char* GetName() const override;                                                                          \
        GS::GSException* Clone() const override;                                                                       \
    };

#define DECLARE_EXCEPTION_CLASS(className, baseClassName, errId, exportdef)                                            \
    DECLARE_EXCEPTION_CLASS_WITH_CLASS_SPEC(exportdef className, className, baseClassName, errId)

#define DECLARE_EXCEPTION_CLASS_NO_EXPORTDEF(className, baseClassName, errId)                                          \
    DECLARE_EXCEPTION_CLASS_WITH_CLASS_SPEC(className, className, baseClassName, errId)

#define IMPLEMENT_EXCEPTION_CLASS_WITH_NAMESPACE(classNameWithNamespace, className, baseClassName, errId)              \
    classNameWithNamespace::className(const char* msg, const char* fName, UInt32 lNumber,                              \
                                      const GS::GSException& cause)                                                    \
        : GS::GSException(msg, fName, lNumber, cause, errId), baseClassName()                                          \
    {                                                                                                                  \
    }                                                                                                                  \
    classNameWithNamespace::className(const char* msg, const char* fName, UInt32 lNumber)                              \
        : GS::GSException(msg, fName, lNumber, nullptr, errId), baseClassName()                                        \
    {                                                                                                                  \
    }                                                                                                                  \
    classNameWithNamespace::className(const GS::UniString& msg, const char* fName, UInt32 lNumber,                     \
                                      const GS::GSException& cause)                                                    \
        : GS::GSException(msg, fName, lNumber, cause, errId), baseClassName()                                          \
    {                                                                                                                  \
    }                                                                                                                  \
    classNameWithNamespace::className(const GS::UniString& msg, const char* fName, UInt32 lNumber)                     \
        : GS::GSException(msg, fName, lNumber, nullptr, errId), baseClassName()                                        \
    {                                                                                                                  \
    }                                                                                                                  \
    const char* classNameWithNamespace::GetName() const                                                                \
    {                                                                                                                  \
        return #className;                                                                                             \
    }                                                                                                                  \
    GS::GSException* classNameWithNamespace::Clone() const                                                             \
    {                                                                                                                  \
        return new className(*this);                                                                                   \
    }

#define IMPLEMENT_EXCEPTION_CLASS(className, baseClassName, errId)                                                     \
    IMPLEMENT_EXCEPTION_CLASS_WITH_NAMESPACE(className, className, baseClassName, errId)

#define DECLARE_EXCEPTION_CLASS2(className, baseClassName1, baseClassName2, errId, exportdef)                          \
    class exportdef className : virtual public baseClassName1, virtual public baseClassName2 {                         \
    public:                                                                                                            \
        explicit className(const char* msg, const char* fName, UInt32 lNumber, const GS::GSException& cause);          \
        explicit className(const char* msg = nullptr, const char* fName = nullptr, UInt32 lNumber = 0);                \
        explicit className(const GS::UniString& msg, const char* fName, UInt32 lNumber, const GS::GSException& cause); \
        explicit className(const GS::UniString& msg, const char* fName = nullptr, UInt32 lNumber = 0);                 \
        const char* GetName() const override;                                                                          \
        GS::GSException* Clone() const override;                                                                       \
    };

DECLARE_EXCEPTION_CLASS(LogicErrorException, GeneralException, Error, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS(PreconditionException, LogicErrorException, ErrParam, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS(IllegalArgumentException, PreconditionException, ErrParam, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS(IllegalReferenceException, IllegalArgumentException, ErrParam, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS(NullPointerException, IllegalArgumentException, ErrParam, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS(RunTimeErrorException, GeneralException, Error, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS(LimitViolationException, RunTimeErrorException, Error, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS(ConversionErrorException, RunTimeErrorException, Error, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS(InternalErrorException, RunTimeErrorException, Error, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS(IllegalStateException, RunTimeErrorException, Error, GSROOT_DLL_EXPORT)
DECLARE_EXCEPTION_CLASS2(OutOfMemoryException, RunTimeErrorException, std::bad_alloc, ErrMemoryFull, GSROOT_DLL_EXPORT)

// ThreadingException.hpp and ClassCastException.hpp.
class ThreadingException : public virtual Exception {
public:
    explicit ThreadingException(const char* msg, const char* fName, UInt32 lNumber, const Exception& cause)
        : Exception(msg, fName, lNumber, cause, Error)
    {
    }
    explicit ThreadingException(const char* msg = nullptr, const char* fName = nullptr, UInt32 lNumber = 0)
        : Exception(msg, fName, lNumber, nullptr, Error)
    {
    }
    explicit ThreadingException(const UniString& msg, const char* fName, UInt32 lNumber, const Exception& cause)
        : Exception(msg, fName, lNumber, cause, Error)
    {
    }
    explicit ThreadingException(const UniString& msg, const char* fName = nullptr, UInt32 lNumber = 0)
        : Exception(msg, fName, lNumber, nullptr, Error)
    {
    }
    const char* GetName() const override;
    Exception* Clone() const override;
};

DECLARE_EXCEPTION_CLASS(ClassCastException, ThreadingException, Error, GSROOT_DLL_EXPORT)

}  // namespace GS
