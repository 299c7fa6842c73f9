#include "ScriptParser.h"

ScriptParser::ScriptParser() {}
ScriptParser::~ScriptParser() {}
bool ScriptParser::parse(const std::string &) { return false; }
