// Local slots (see slots.h): one walk over a tree numbers each function's names and marks the nodes that use them.
#include "frontend/slots.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "frontend/node.h"

namespace qlr {

int32_t SlotLayout::find(Symbol name) const {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int32_t>(i);
  return kNoSlot;
}

namespace {

// The scope being resolved: a function's layout, or none for the
// top level, a module and a blueprint body, whose names have no slots.
struct Scope {
  SlotLayout* layout;
  // Nodes whose slot is known once every name of the scope is: a read may
  // come before the assignment that makes the name local.
  std::vector<std::pair<const Node*, Symbol>> users;
  std::vector<const CatchClause*> catchers;
  // Names the scope declares glob or nloc.
  std::vector<Symbol> declared;

  void bind(Symbol name) {
    if (layout && layout->find(name) == kNoSlot) layout->names.push_back(name);
  }
};

class Resolver {
 public:
  void run(const Node* root) {
    pending_.push_back({root, nullptr});
    while (!pending_.empty()) {
      auto [node, owner] = pending_.back();
      pending_.pop_back();
      resolveScope(node, owner);
    }
  }

 private:
  // A scope still to resolve: a function or lambda with its definition as
  // owner, or a whole tree or blueprint body with none.
  struct Pending {
    const Node* body;
    const Node* owner;
  };

  void resolveScope(const Node* body, const Node* owner) {
    Scope scope{nullptr, {}, {}, {}};
    if (owner) {
      owner->layout = std::make_unique<SlotLayout>();
      scope.layout = owner->layout.get();
      for (Symbol param : owner->paramSyms) scope.bind(param);
      // Defaults are evaluated in the call's scope.
      for (const auto& value : owner->defaults)
        if (value) walk(value.get(), scope);
    }
    walk(body, scope);
    if (scope.layout) {
      std::erase_if(scope.layout->names, [&](Symbol name) {
        return std::find(scope.declared.begin(), scope.declared.end(), name) != scope.declared.end();
      });
      for (Symbol param : owner->paramSyms) scope.layout->paramSlots.push_back(scope.layout->find(param));
    }
    auto slotOf = [&](Symbol name) { return scope.layout ? scope.layout->find(name) : kBySymbol; };
    for (auto [node, name] : scope.users) node->slot = slotOf(name);
    for (const CatchClause* clause : scope.catchers) clause->slot = slotOf(clause->nameSym);
  }

  // Walks the part of a tree that belongs to scope, with a work list: a long
  // run of left-nested operators makes a tree as deep as its source is long.
  void walk(const Node* top, Scope& scope) {
    std::vector<const Node*> work{top};
    while (!work.empty()) {
      const Node* node = work.back();
      work.pop_back();
      if (!node) continue;
      switch (node->kind) {
        case NodeKind::Name:
          scope.users.emplace_back(node, node->sym);
          break;
        case NodeKind::For:
        case NodeKind::ListComp:
          scope.bind(node->sym);
          scope.users.emplace_back(node, node->sym);
          break;
        case NodeKind::FuncDef:
        case NodeKind::ClassDef:
          // The name is bound here; the body is a scope of its own.
          scope.bind(node->sym);
          scope.users.emplace_back(node, node->sym);
          if (scope.layout) scope.layout->escapes = true;
          pending_.push_back({node->body(), node->kind == NodeKind::FuncDef ? node : nullptr});
          continue;
        case NodeKind::Lambda:
          if (scope.layout) scope.layout->escapes = true;
          pending_.push_back({node->body(), node});
          continue;
        case NodeKind::Assign:
          if (node->target()->kind == NodeKind::Name) scope.bind(node->target()->sym);
          break;
        case NodeKind::Global:
        case NodeKind::Nonlocal:
          scope.declared.insert(scope.declared.end(), node->nameSyms.begin(), node->nameSyms.end());
          break;
        case NodeKind::Import:
          if (scope.layout) scope.layout->escapes = scope.layout->loadsModules = true;
          break;
        case NodeKind::Try:
          // Pushed last first, so that the walk meets them in source order:
          // the body, each catch clause, the atlast block.
          work.push_back(node->finallyBody.get());
          for (auto clause = node->catches.rbegin(); clause != node->catches.rend(); ++clause) {
            work.push_back(clause->body.get());
            if (clause->hasName) {
              scope.bind(clause->nameSym);
              scope.catchers.push_back(&*clause);
            }
          }
          break;
        default:
          break;
      }
      for (auto child = node->children.rbegin(); child != node->children.rend(); ++child) work.push_back(child->get());
    }
  }

  std::vector<Pending> pending_;
};

}  // namespace

void resolveSlots(const Node* root) { Resolver().run(root); }

}  // namespace qlr
