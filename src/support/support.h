// The support layer: what every part of the interpreter may use, knowing nothing of any of them.
//
// The sources are layered, each folder using only its own headers and
// those of the folders below it:
//
//   host -> builtins -> interp -> values -> frontend -> support
//
// so that a layer can be read, tested and changed knowing only what lies
// beneath it. Support is the bottom: the errors no script can
// catch (fatal.h), the checkpoints of long work (budget.h) and the native
// stack guard (stack.h), which the front end, the values and the evaluator
// all need and none of them owns.
#pragma once
