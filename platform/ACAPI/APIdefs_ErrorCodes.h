// The Archicad API's error codes: 32-bit, 0 (NoError) for success, the API's own from 0x81060000 up.
#pragma once

#include "Definitions.hpp"

constexpr GSErrCode APIErrorStart = static_cast<GSErrCode>(0x81060000);

constexpr GSErrCode APIERR_GENERAL = APIErrorStart + 1;
constexpr GSErrCode APIERR_MEMFULL = APIErrorStart + 2;
constexpr GSErrCode APIERR_CANCEL = APIErrorStart + 3;
constexpr GSErrCode APIERR_BADID = APIErrorStart + 101;
constexpr GSErrCode APIERR_BADINDEX = APIErrorStart + 102;
constexpr GSErrCode APIERR_BADNAME = APIErrorStart + 103;
constexpr GSErrCode APIERR_BADPARS = APIErrorStart + 104;
constexpr GSErrCode APIERR_BADPOLY = APIErrorStart + 105;
constexpr GSErrCode APIERR_BADDATABASE = APIErrorStart + 106;
constexpr GSErrCode APIERR_BADPLATFORMSIGN = APIErrorStart + 109;
constexpr GSErrCode APIERR_BADVALUE = APIErrorStart + 112;
constexpr GSErrCode APIERR_BADELEMENTTYPE = APIErrorStart + 113;
constexpr GSErrCode APIERR_BADGUID = APIErrorStart + 116;
constexpr GSErrCode APIERR_NOPLAN = APIErrorStart + 203;
constexpr GSErrCode APIERR_NOUSERDATA = APIErrorStart + 220;
constexpr GSErrCode APIERR_UNDOEMPTY = APIErrorStart + 226;
constexpr GSErrCode APIERR_NAMEALREADYUSED = APIErrorStart + 228;
constexpr GSErrCode APIERR_ATTREXIST = APIErrorStart + 301;
constexpr GSErrCode APIERR_DELETED = APIErrorStart + 302;
constexpr GSErrCode APIERR_NOTMINE = APIErrorStart + 306;
constexpr GSErrCode APIERR_NOACCESSRIGHT = APIErrorStart + 307;
constexpr GSErrCode APIERR_BADPROPERTY = APIErrorStart + 308;
constexpr GSErrCode APIERR_BADCLASSIFICATION = APIErrorStart + 309;
constexpr GSErrCode APIERR_MODULNOTINSTALLED = APIErrorStart + 401;
constexpr GSErrCode APIERR_MODULCMDMINE = APIErrorStart + 402;
constexpr GSErrCode APIERR_MODULCMDNOTSUPPORTED = APIErrorStart + 403;
constexpr GSErrCode APIERR_NOMODULEDATA = APIErrorStart + 405;
constexpr GSErrCode APIERR_NESTING = APIErrorStart + 902;
constexpr GSErrCode APIERR_NOTSUPPORTED = APIErrorStart + 903;
constexpr GSErrCode APIERR_REFUSEDCMD = APIErrorStart + 904;
constexpr GSErrCode APIERR_REFUSEDPAR = APIErrorStart + 905;
constexpr GSErrCode APIERR_READONLY = APIErrorStart + 906;
constexpr GSErrCode APIERR_COMMANDFAILED = APIErrorStart + 908;
constexpr GSErrCode APIERR_NEEDSUNDOSCOPE = APIErrorStart + 909;
constexpr GSErrCode APIERR_UNDOSCOPEMISUSE = APIErrorStart + 910;
