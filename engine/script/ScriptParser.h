#pragma once

#include <string>

// Parses and validates a transformation script with Xerces-C. Construction
// initialises the XML library, destruction terminates it.
class ScriptParser {
  public:
    ScriptParser();
    ~ScriptParser();
    ScriptParser(const ScriptParser &) = delete;
    ScriptParser &operator=(const ScriptParser &) = delete;

    bool initialised() const { return initialised_; }
    bool parse(const std::string &path);

  private:
    bool initialised_ = false;
};
