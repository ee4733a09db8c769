// The Archicad API's property and classification records: groups, definitions, values and the
// classification systems whose items say which definitions an element has.
#pragma once

#include "APIdefs_Base.h"

enum API_PropertyGroupType {
    API_PropertyStaticBuiltInGroupType,
    API_PropertyDynamicBuiltInGroupType,
    API_PropertyCustomGroupType,
};

struct API_PropertyGroup {
    API_PropertyGroupType groupType;
    API_Guid guid;
    GS::UniString name;
    GS::UniString description;

    API_PropertyGroup() : groupType(API_PropertyCustomGroupType), guid(APINULLGuid) {}
};

enum API_PropertyDefinitionType {
    API_PropertyStaticBuiltInDefinitionType,
    API_PropertyDynamicBuiltInDefinitionType,
    API_PropertyCustomDefinitionType,
};

enum API_PropertyCollectionType {
    API_PropertyUndefinedCollectionType,
    API_PropertySingleCollectionType,
    API_PropertyListCollectionType,
    API_PropertySingleChoiceEnumerationCollectionType,
    API_PropertyMultipleChoiceEnumerationCollectionType,
};

enum API_VariantType {
    API_PropertyUndefinedValueType,
    API_PropertyIntegerValueType,
    API_PropertyRealValueType,
    API_PropertyStringValueType,
    API_PropertyBooleanValueType,
    API_PropertyGuidValueType,
};

enum API_PropertyMeasureType {
    API_PropertyUndefinedMeasureType,
    API_PropertyDefaultMeasureType,
    API_PropertyLengthMeasureType,
    API_PropertyAreaMeasureType,
    API_PropertyVolumeMeasureType,
    API_PropertyAngleMeasureType,
};

enum API_VariantStatus {
    API_VariantStatusNull,
    API_VariantStatusUserUndefined,
    API_VariantStatusNormal,
};

struct API_Variant {
    API_VariantType type;
    Int32 intValue;
    double doubleValue;
    bool boolValue;
    GS::UniString uniStringValue;
    API_Guid guidValue;

    API_Variant()
        : type(API_PropertyUndefinedValueType), intValue(0), doubleValue(0.0), boolValue(false), guidValue(APINULLGuid)
    {
    }
};

struct API_SingleVariant {
    API_Variant variant;
};

struct API_ListVariant {
    GS::Array<API_Variant> variants;
};

struct API_SingleEnumerationVariant {
    API_Variant keyVariant;
    API_Variant displayVariant;
};

// One value of a property; which variant holds it follows the definition's collection type (an
// enumeration's value is its key, kept in singleVariant or listVariant). Read only when Normal.
struct API_PropertyValue {
    API_SingleVariant singleVariant;
    API_ListVariant listVariant;
    API_VariantStatus variantStatus;

    API_PropertyValue() : variantStatus(API_VariantStatusNormal) {}
};

struct API_PropertyDefaultValue {
    API_PropertyValue basicValue;
    GS::Array<GS::UniString> propertyExpressions;
    bool hasExpression;

    API_PropertyDefaultValue() : hasExpression(false) {}
};

struct API_PropertyDefinition {
    API_PropertyDefinitionType definitionType;
    API_Guid guid;
    API_Guid groupGuid;
    GS::UniString name;
    GS::UniString description;
    API_PropertyCollectionType collectionType;
    API_VariantType valueType;
    API_PropertyMeasureType measureType;
    API_PropertyDefaultValue defaultValue;
    // Classification items whose elements have the property.
    GS::Array<API_Guid> availability;
    GS::Array<API_SingleEnumerationVariant> possibleEnumValues;
    bool canValueBeEditable;

    API_PropertyDefinition()
        : definitionType(API_PropertyCustomDefinitionType), guid(APINULLGuid), groupGuid(APINULLGuid),
          collectionType(API_PropertyUndefinedCollectionType), valueType(API_PropertyUndefinedValueType),
          measureType(API_PropertyDefaultMeasureType), canValueBeEditable(false)
    {
    }
};

enum API_PropertyValueStatus {
    API_Property_NotAvailable,
    API_Property_NotEvaluated,
    API_Property_HasValue,
};

struct API_Property {
    API_PropertyDefinition definition;
    API_PropertyValueStatus status;
    API_PropertyValue value;
    // The element carries no value of its own: value is the definition's default.
    bool isDefault;

    API_Property() : status(API_Property_NotAvailable), isDefault(true) {}
};

enum API_PropertyDefinitionFilter {
    API_PropertyDefinitionFilter_UserDefined,
    API_PropertyDefinitionFilter_BuiltIn,
    API_PropertyDefinitionFilter_All,
};

struct API_ClassificationSystem {
    API_Guid guid;
    GS::UniString name;
    GS::UniString description;
    GS::UniString source;
    GS::UniString editionVersion;

    API_ClassificationSystem() : guid(APINULLGuid) {}
};

struct API_ClassificationItem {
    API_Guid guid;
    GS::UniString id;
    GS::UniString name;
    GS::UniString description;

    API_ClassificationItem() : guid(APINULLGuid) {}
};
