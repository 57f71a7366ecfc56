" Vim syntax file for Quillora scripts (.qlr).
if exists("b:current_syntax")
  finish
endif

syn keyword qlrConditional chk orchk nah
syn keyword qlrRepeat      spin loop
syn keyword qlrStatement   back stop skip nop ensure remove
syn keyword qlrException   attempt catch atlast throw called
syn keyword qlrInclude     add
syn keyword qlrStorage     glob nloc
syn keyword qlrOperator    also either deny within same
syn keyword qlrConstant    yes no null
syn keyword qlrDefine      exp nextgroup=qlrFunctionName skipwhite
syn keyword qlrDefine      blueprint nextgroup=qlrBlueprintName skipwhite
syn keyword qlrDefine      fn
syn keyword qlrBuiltin     out getuser cmd sizeof kind grab put has nums append pop keys values
syn keyword qlrBuiltin     joinstr splitstr sqrt floor ceil absval roundval intval floatval strval classname

syn match qlrFunctionName  "\h\w*" contained
syn match qlrBlueprintName "\h\w*" contained

" After a dot any word, a reserved one included, is an attribute name; the
" match starts at the dot so that it wins over the keywords.
syn match qlrAttribute "\.\s*\h\w*"

syn match qlrOperatorSymbol "==\|!=\|<=\|>=\|[-+*/%]=\|\*\*\|//\|[-+*/%<>=]"

" A fraction, an exponent or both make a float, and the float patterns, being
" later, win where both match; "1." is the int 1 and a dot, "2e" the int 2 and
" the word e.
syn match qlrNumber "\<\d\+"
syn match qlrFloat  "\<\d\+\.\d\+\%([eE][-+]\=\d\+\)\="
syn match qlrFloat  "\<\d\+[eE][-+]\=\d\+"

" Every escaped character is valid: those without a meaning stand for themselves.
" A backslash at the end of a line continues the string on the next one; any
" other line end ends an unterminated string.
syn match qlrEscape "\\." contained
syn match qlrEscape "\\$" contained
syn region qlrString start=+"+ skip=+\\\\\|\\"+ end=+"+ end=+\\\@<!$+ contains=qlrEscape
syn region qlrString start=+'+ skip=+\\\\\|\\'+ end=+'+ end=+\\\@<!$+ contains=qlrEscape

" A string continued with backslashes is the only construct that spans lines.
syn sync minlines=20

syn keyword qlrTodo TODO FIXME XXX contained
syn match qlrComment "#.*$" contains=qlrTodo

" Indentation is made of spaces; a tab there is a lexical error.
syn match qlrTabIndent "^ *\zs\t\+"

hi def link qlrConditional    Conditional
hi def link qlrRepeat         Repeat
hi def link qlrStatement      Statement
hi def link qlrException      Exception
hi def link qlrInclude        Include
hi def link qlrStorage        StorageClass
hi def link qlrOperator       Operator
hi def link qlrOperatorSymbol Operator
hi def link qlrConstant       Constant
hi def link qlrDefine         Define
hi def link qlrFunctionName   Function
hi def link qlrBlueprintName  Type
hi def link qlrBuiltin        Function
hi def link qlrNumber         Number
hi def link qlrFloat          Float
hi def link qlrString         String
hi def link qlrEscape         SpecialChar
hi def link qlrComment        Comment
hi def link qlrTodo           Todo
hi def link qlrTabIndent      Error

let b:current_syntax = "qlr"
