// The JSON records the download page exchanges with the add-on through the "ACAPI" object.
#pragma once

#include "Record.hpp"

namespace velmar::ui::model {

// The value as the platform words it; the page puts the unit beside it and words a "Boolean" itself.
class ProductPropertyValue : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<GS::UniString> name{"name"};
    Velmar::Json::ValueProperty<Int32> lod{"lod"};
    Velmar::Json::ValueProperty<GS::UniString> value{"value"};
    Velmar::Json::ValueProperty<GS::UniString> unit{"unit"};
    Velmar::Json::ValueProperty<GS::UniString> dataType{"dataType"};
    VELMAR_JSON_MEMBERS(name, lod, value, unit, dataType)
};

class ProductMappedClassification : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<GS::UniString> classificationCode{"classificationCode"};
    Velmar::Json::ValueProperty<GS::Guid> targetPropertyGuid{"targetPropertyGuid"};
    Velmar::Json::ValueProperty<GS::UniString> value{"value"};
    Velmar::Json::ValueProperty<GS::UniString> label{"label"};
    Velmar::Json::ValueProperty<bool> active{"active"};
    VELMAR_JSON_MEMBERS(classificationCode, targetPropertyGuid, value, label, active)
};

// A property definition a classification code can be written into.
class ClassificationTarget : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<GS::Guid> id{"id"};
    Velmar::Json::ValueProperty<GS::UniString> name{"name"};
    VELMAR_JSON_MEMBERS(id, name)
};

// What the download page shows of the loaded product.
class ProductDetails : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<GS::UniString> productCode{"productCode"};
    Velmar::Json::ArrayProperty<ProductPropertyValue> properties{"properties"};
    Velmar::Json::ArrayProperty<ProductMappedClassification> mappedClassifications{"mappedClassifications"};
    Velmar::Json::ArrayProperty<ClassificationTarget> availableClassificationTargets{"availableClassificationTargets"};
    Velmar::Json::ArrayProperty<Int32> availableLods{"availableLods"};
    Velmar::Json::ValueProperty<Int32> activeLod{"activeLod"};
    VELMAR_JSON_MEMBERS(productCode, properties, mappedClassifications, availableClassificationTargets, availableLods,
                        activeLod)
};

// The user's confirmation on the download page: a new composite, or an existing one to link.
class ProductDownload : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<GS::UniString> newCompositeName{"newCompositeName"};
    Velmar::Json::ValueProperty<GS::UniString> existingCompositeName{"existingCompositeName"};
    Velmar::Json::ValueProperty<Int32> selectedLod{"selectedLod"};
    Velmar::Json::ArrayProperty<ProductMappedClassification> mappedClassifications{"mappedClassifications"};
    VELMAR_JSON_MEMBERS(newCompositeName, existingCompositeName, selectedLod, mappedClassifications)
};

}  // namespace velmar::ui::model
