#pragma once

// Transformation scripts written by the tests, beside the shipped grammar.

#include "TestFiles.h"

#include <filesystem>
#include <string>

namespace kavrotest {

// The shipped grammar, which every script below names by its bare file name.
inline void copyGrammar(const fs::path &folder) {
    fs::copy_file(fs::path(KAVRO_SOURCE_DIR) / "data" / "script" /
                      "TransformationScript.xsd",
                  folder / "TransformationScript.xsd",
                  fs::copy_options::overwrite_existing);
}

// A script document around body, valid when body is, with the grammar
// expected beside it (copyGrammar).
inline std::string scriptText(const std::string &body) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<TransformationScript xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
    xsi:noNamespaceSchemaLocation="TransformationScript.xsd">
)" + body + "</TransformationScript>\n";
}

// Writes scriptText(body) into folder; returns its path.
inline std::string writeScript(const fs::path &folder, const std::string &name,
                               const std::string &body) {
    writeFile(folder / name, scriptText(body));
    return (folder / name).string();
}

// A grammar that takes any content under the root elements
// "TransformationScript" and "Other", as a user may write one: for
// documents that are valid but that the loader cannot use.
inline constexpr const char *kLaxGrammar = R"(<?xml version="1.0"?>
<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">
  <xs:complexType name="Anything" mixed="true">
    <xs:sequence>
      <xs:any processContents="skip" minOccurs="0" maxOccurs="unbounded"/>
    </xs:sequence>
  </xs:complexType>
  <xs:element name="TransformationScript" type="Anything"/>
  <xs:element name="Other" type="Anything"/>
</xs:schema>
)";

} // namespace kavrotest
