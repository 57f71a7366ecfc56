// Module loading: add runs a script file once, in the scope of the add statement.
#include <algorithm>

#include "frontend/parser.h"
#include "host/host.h"
#include "interp/interpreter.h"

namespace qlr {

namespace {

bool listed(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

Flow Interpreter::loadModule(const std::string& name, Environment* env, int line) {
  // A module still loading is treated as loaded: adding itself, directly or
  // through others, must not run it again inside its own loading.
  if (listed(loadedModules, name) || listed(loadingModules_, name)) return Flow::Normal;
  std::string path = moduleDir.empty() ? name + ".qlr" : moduleDir + "/" + name + ".qlr";
  std::string source;
  if (!readWholeFile(path, source, FileKinds::RegularOnly))
    throwError(kImportError, message::moduleNotFound(name, path), line);
  const Node* tree = keepTree(parseSource(source, path));
  loadingModules_.push_back(name);
  struct Loading {
    std::vector<std::string>& names;
    ~Loading() { names.pop_back(); }
  } loading{loadingModules_};
  // A back, stop or skip at the module's top level leaves the add statement
  // as its own way out; like an error, it leaves the module unrecorded.
  Flow flow = execBlock(tree, env);
  if (flow == Flow::Normal) loadedModules.push_back(name);
  return flow;
}

}  // namespace qlr
