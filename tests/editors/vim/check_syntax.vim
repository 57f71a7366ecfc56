" Checks the Vim files on an annotated sample, in a headless Vim.
"
" The sample's assertion lines name the highlight group expected under their
" carets in the nearest line above that is not an assertion:
"   #   ^^^ qlrConditional      columns 5 to 7 are in that group
"   # <--- qlrDefine            the first three columns are
"   #   ^^ - qlrBuiltin         columns 5 and 6 are not
" Failures are written to g:qlr_result, one a line, and then the line
" "checked N" with the number of assertions; Vim exits with an error status
" when there are failures.
let s:failures = []
let s:checked = 0

function! s:Check() abort
  filetype plugin on
  syntax on
  execute 'edit ' . fnameescape(g:qlr_sample)
  if !has('syntax')
    call add(s:failures, 'this Vim has no syntax highlighting')
    return
  endif
  if &filetype !=# 'qlr'
    call add(s:failures, 'filetype is "' . &filetype . '", expected "qlr"')
  endif
  if get(b:, 'current_syntax', '') !=# 'qlr'
    call add(s:failures, 'the qlr syntax was not loaded')
  endif
  if !&expandtab || &shiftwidth != 4 || &commentstring !=# '# %s'
    call add(s:failures, 'the qlr ftplugin settings were not applied')
  endif
  let target = 0
  for lnum in range(1, line('$'))
    let m = matchlist(getline(lnum), '^#\( *\)\(\^\+\|<-\+\) \+\(- \+\)\=\(\w\+\) *$')
    if empty(m)
      let target = lnum
      continue
    endif
    if m[2][0] ==# '<'
      let [first, width] = [1, len(m[2]) - 1]
    else
      let [first, width] = [len(m[1]) + 2, len(m[2])]
    endif
    let negated = !empty(m[3])
    let s:checked += 1
    for col in range(first, first + width - 1)
      let name = synIDattr(synID(target, col, 1), 'name')
      if negated ? name ==# m[4] : name !=# m[4]
        call add(s:failures, printf('line %d column %d: "%s", expected %s%s',
              \ target, col, name, negated ? 'anything but ' : '', m[4]))
      endif
    endfor
  endfor
endfunction

try
  call s:Check()
catch
  call add(s:failures, 'Vim error: ' . v:exception . ' at ' . v:throwpoint)
endtry
call writefile(s:failures + ['checked ' . s:checked], g:qlr_result)
if empty(s:failures)
  qall!
endif
cquit!
