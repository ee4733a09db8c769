#include "GSException.hpp"

namespace GS {

GSException::GSException(const char* message, const char* fileName, UInt32 lineNumber, const GSException* cause,
                         Int32 id)
    : id_(id), message_(message == nullptr ? UniString() : UniString(message)), fileName_(fileName),
      lineNumber_(lineNumber), cause_(cause == nullptr ? nullptr : cause->Clone())
{
}

GSException::GSException(const char* message, const char* fileName, UInt32 lineNumber, const GSException& cause,
                         Int32 id)
    : GSException(message, fileName, lineNumber, &cause, id)
{
}

GSException::GSException(const UniString& message, const char* fileName, UInt32 lineNumber, const GSException* cause,
                         Int32 id)
    : id_(id), message_(message), fileName_(fileName), lineNumber_(lineNumber),
      cause_(cause == nullptr ? nullptr : cause->Clone())
{
}

GSException::GSException(const UniString& message, const char* fileName, UInt32 lineNumber, const GSException& cause,
                         Int32 id)
    : GSException(message, fileName, lineNumber, &cause, id)
{
}

GSException::GSException(const GSException& source)
    : id_(source.id_), message_(source.message_), fileName_(source.fileName_), lineNumber_(source.lineNumber_),
      cause_(source.cause_ == nullptr ? nullptr : source.cause_->Clone())
{
}

GSException& GSException::operator=(const GSException& source)
{
    if (this != &source) {
        GSException* cause = source.cause_ == nullptr ? nullptr : source.cause_->Clone();
        delete cause_;
        id_ = source.id_;
        message_ = source.message_;
        fileName_ = source.fileName_;
        lineNumber_ = source.lineNumber_;
        cause_ = cause;
    }
    return *this;
}

GSException::~GSException()
{
    delete cause_;
}

void GSException::SetMessage(const UniString& message)
{
    message_ = message;
}

void GSException::SetMessage(const char* message)
{
    message_ = message == nullptr ? UniString() : UniString(message);
}

const char* GSException::GetName() const
{
    return "GSException";
}

Int32 GSException::GetID() const
{
    return id_;
}

const UniString& GSException::GetMessage() const
{
    return message_;
}

const char* GSException::GetFileName() const
{
    return fileName_;
}

UInt32 GSException::GetLineNumber() const
{
    return lineNumber_;
}

GSException* GSException::Clone() const
{
    return new GSException(*this);
}

const GSException* GSException::GetCause() const
{
    return cause_;
}

GSException* GSException::GetCause()
{
    return cause_;
}

const char* GeneralException::GetName() const
{
    return "GeneralException";
}

GSException* GeneralException::Clone() const
{
    return new GeneralException(*this);
}

const char* ThreadingException::GetName() const
{
    return "ThreadingException";
}

Exception* ThreadingException::Clone() const
{
    return new ThreadingException(*this);
}

IMPLEMENT_EXCEPTION_CLASS(LogicErrorException, GeneralException, Error)
IMPLEMENT_EXCEPTION_CLASS(PreconditionException, LogicErrorException, ErrParam)
IMPLEMENT_EXCEPTION_CLASS(IllegalArgumentException, PreconditionException, ErrParam)
IMPLEMENT_EXCEPTION_CLASS(IllegalReferenceException, IllegalArgumentException, ErrParam)
IMPLEMENT_EXCEPTION_CLASS(NullPointerException, IllegalArgumentException, ErrParam)
IMPLEMENT_EXCEPTION_CLASS(RunTimeErrorException, GeneralException, Error)
IMPLEMENT_EXCEPTION_CLASS(LimitViolationException, RunTimeErrorException, Error)
IMPLEMENT_EXCEPTION_CLASS(ConversionErrorException, RunTimeErrorException, Error)
IMPLEMENT_EXCEPTION_CLASS(InternalErrorException, RunTimeErrorException, Error)
IMPLEMENT_EXCEPTION_CLASS(IllegalStateException, RunTimeErrorException, Error)
IMPLEMENT_EXCEPTION_CLASS(ClassCastException, ThreadingException, Error)

OutOfMemoryException::OutOfMemoryException(const char* msg, const char* fName, UInt32 lNumber, const GSException& cause)
    : GSException(msg, fName, lNumber, cause, ErrMemoryFull), RunTimeErrorException(), std::bad_alloc()
{
}

OutOfMemoryException::OutOfMemoryException(const char* msg, const char* fName, UInt32 lNumber)
    : GSException(msg, fName, lNumber, nullptr, ErrMemoryFull), RunTimeErrorException(), std::bad_alloc()
{
}

OutOfMemoryException::OutOfMemoryException(const UniString& msg, const char* fName, UInt32 lNumber,
                                           const GSException& cause)
    : GSException(msg, fName, lNumber, cause, ErrMemoryFull), RunTimeErrorException(), std::bad_alloc()
{
}

OutOfMemoryException::OutOfMemoryException(const UniString& msg, const char* fName, UInt32 lNumber)
    : GSException(msg, fName, lNumber, nullptr, ErrMemoryFull), RunTimeErrorException(), std::bad_alloc()
{
}

const char* OutOfMemoryException::GetName() const
{
    return "OutOfMemoryException";
}

GSException* OutOfMemoryException::Clone() const
{
    return new OutOfMemoryException(*this);
}

}  // namespace GS
