// JavaScript values as a page driver writes them in JSON (velmar-sim's "call", the workbench's HTTP
// bridge): an argument arrives as JSON and becomes the JS::Base the add-on's function receives, and the
// function's answer goes back as JSON.
#pragma once

#include "JSValues.hpp"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace Sim {

// As a page's JavaScript passes it: texts, booleans and numbers as values (whole numbers that fit 32 bits
// as integers, others as doubles), null as the undefined value, arrays and objects as a JS array and a JS
// object holding their items, which no function can read as text.
GS::Ref<JS::Base> JsFromJson(const rapidjson::Value& json);

// An answer as JSON: undefined, and no answer at all, are null, as are numbers JSON cannot hold (NaN and
// the infinities, as JSON.stringify writes them). Throws std::invalid_argument for an object or a
// function, which has no JSON form here.
void WriteJs(rapidjson::Writer<rapidjson::StringBuffer>& writer, const GS::Ref<JS::Base>& value);

}  // namespace Sim
