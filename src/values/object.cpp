// Destruction of heap objects, without recursion on the native stack.
#include "values/object.h"

#include <vector>

#include "interp/environment.h"
#include "values/value.h"

namespace qlr {

namespace {

// Objects whose count reached zero while another object was being
// destroyed; the outermost destroyObj works through them.
std::vector<Obj*>& pendingObjs() {
  static std::vector<Obj*> pending;
  return pending;
}
bool draining = false;

void destroyOne(Obj* obj) {
  switch (obj->type) {
    case ObjType::String:
      delete static_cast<StringValue*>(obj);
      return;
    case ObjType::List:
      delete static_cast<ListValue*>(obj);
      return;
    case ObjType::Dict:
      delete static_cast<DictValue*>(obj);
      return;
    case ObjType::Function:
      delete static_cast<FunctionValue*>(obj);
      return;
    case ObjType::Class:
      delete static_cast<ClassValue*>(obj);
      return;
    case ObjType::Instance:
      delete static_cast<InstanceValue*>(obj);
      return;
    case ObjType::Native:
      delete static_cast<NativeFn*>(obj);
      return;
    case ObjType::Range:
      delete static_cast<RangeVal*>(obj);
      return;
    case ObjType::Environment:
      Environment::recycle(static_cast<Environment*>(obj));
      return;
  }
}

}  // namespace

void destroyObj(Obj* obj) {
  if (obj->type == ObjType::String) {  // owns nothing: no queue needed
    delete static_cast<StringValue*>(obj);
    return;
  }
  if (draining) {
    pendingObjs().push_back(obj);
    return;
  }
  draining = true;
  destroyOne(obj);
  auto& pending = pendingObjs();
  while (!pending.empty()) {
    Obj* next = pending.back();
    pending.pop_back();
    destroyOne(next);
  }
  draining = false;
}

}  // namespace qlr
