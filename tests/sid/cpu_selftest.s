; ORVELLA 6502 self-test: every documented opcode in each of its addressing modes,
; checked against results and flags worked out by hand from the 6502 manuals,
; including the ways our CPU deliberately differs (binary ADC/SBC with D set, BRK
; jumping to $0000, RTI returning like RTS, PHP pushing P as held, the stack
; pointer sticking at $00/$FF, undocumented opcodes as one-byte no-ops).
;
; Entry $1000 with S = $FF. Success ends in `success: jmp success`. A failed
; check ends in a jump to itself at a label fail_<check>; the label file names it.
;
; Build: ./assemble.sh in this folder (ca65 and ld65), which rewrites
; cpu_selftest.bin and cpu_selftest.labels.

FC = $01
FZ = $02
FI = $04
FD = $08
FV = $40
FN = $80

ZP   = $20          ; zero page operand
ABS  = $0300        ; absolute operand
PTRX = $30          ; ($F0,x) with X = $40 wraps to here: points at ABS
PTRY = $32          ; ($32),y with Y = $10: points at ABS - $10

; ---- checking -------------------------------------------------------------

.macro TRAP_NE name                 ; after a compare: stop here unless equal
  .local ok
  beq ok
.ident(.concat("fail_", name)):
  jmp .ident(.concat("fail_", name))
ok:
.endmacro

.macro EXPECT name, va, vp          ; A and P, exactly
  php
  cmp #va
  TRAP_NE .concat(name, "_a")
  pla
  cmp #vp
  TRAP_NE .concat(name, "_p")
.endmacro

.macro EXPECT_X name, vx, vp
  php
  cpx #vx
  TRAP_NE .concat(name, "_x")
  pla
  cmp #vp
  TRAP_NE .concat(name, "_p")
.endmacro

.macro EXPECT_Y name, vy, vp
  php
  cpy #vy
  TRAP_NE .concat(name, "_y")
  pla
  cmp #vp
  TRAP_NE .concat(name, "_p")
.endmacro

.macro EXPECT_P name, vp
  php
  pla
  cmp #vp
  TRAP_NE .concat(name, "_p")
.endmacro

.macro EXPECT_MEM name, addr, vm, vp
  php
  lda addr
  cmp #vm
  TRAP_NE .concat(name, "_m")
  pla
  cmp #vp
  TRAP_NE .concat(name, "_p")
.endmacro

.macro SETP vp                      ; all eight flag bits
  lda #vp
  pha
  plp
.endmacro

.macro PLACE vm                     ; the operand, in the zero page and at ABS
  lda #vm
  sta ZP
  sta ABS
.endmacro

; ---- instruction groups -------------------------------------------------------

; An instruction that reads its operand, in all eight read modes.
; A starts as ain (loaded after P, so N and Z come from ain).
.macro READ8 op, name, vm, ain, pin, aout, pout
  PLACE vm
  SETP pin
  lda #ain
  op #vm
  EXPECT .concat(name, "_imm"), aout, pout
  SETP pin
  lda #ain
  op ZP
  EXPECT .concat(name, "_zp"), aout, pout
  ldx #$30
  SETP pin
  lda #ain
  op $F0,x
  EXPECT .concat(name, "_zpx"), aout, pout
  SETP pin
  lda #ain
  op ABS
  EXPECT .concat(name, "_abs"), aout, pout
  ldx #$10
  SETP pin
  lda #ain
  op ABS-$10,x
  EXPECT .concat(name, "_abx"), aout, pout
  ldy #$10
  SETP pin
  lda #ain
  op ABS-$10,y
  EXPECT .concat(name, "_aby"), aout, pout
  ldx #$40
  SETP pin
  lda #ain
  op ($F0,x)
  EXPECT .concat(name, "_izx"), aout, pout
  ldy #$10
  SETP pin
  lda #ain
  op (PTRY),y
  EXPECT .concat(name, "_izy"), aout, pout
.endmacro

.macro READ_IMM op, name, vm, ain, pin, aout, pout
  SETP pin
  lda #ain
  op #vm
  EXPECT name, aout, pout
.endmacro

; Shifts and rotates: accumulator, zp, zp,x, abs, abs,x.
.macro SHIFT5 op, name, vm, pin, mout, pout
  SETP pin
  lda #vm
  op a
  EXPECT .concat(name, "_acc"), mout, pout
  PLACE vm
  SETP pin
  op ZP
  EXPECT_MEM .concat(name, "_zp"), ZP, mout, pout
  PLACE vm
  ldx #$30
  SETP pin
  op $F0,x
  EXPECT_MEM .concat(name, "_zpx"), ZP, mout, pout
  PLACE vm
  SETP pin
  op ABS
  EXPECT_MEM .concat(name, "_abs"), ABS, mout, pout
  PLACE vm
  ldx #$10
  SETP pin
  op ABS-$10,x
  EXPECT_MEM .concat(name, "_abx"), ABS, mout, pout
.endmacro

; INC and DEC: zp, zp,x, abs, abs,x.
.macro INCDEC4 op, name, vm, pin, mout, pout
  PLACE vm
  SETP pin
  op ZP
  EXPECT_MEM .concat(name, "_zp"), ZP, mout, pout
  PLACE vm
  ldx #$30
  SETP pin
  op $F0,x
  EXPECT_MEM .concat(name, "_zpx"), ZP, mout, pout
  PLACE vm
  SETP pin
  op ABS
  EXPECT_MEM .concat(name, "_abs"), ABS, mout, pout
  PLACE vm
  ldx #$10
  SETP pin
  op ABS-$10,x
  EXPECT_MEM .concat(name, "_abx"), ABS, mout, pout
.endmacro

.macro BRANCH_TAKEN op, name, pin
  .local ok
  SETP pin
  op ok
.ident(.concat("fail_", name, "_taken")):
  jmp .ident(.concat("fail_", name, "_taken"))
ok:
.endmacro

.macro BRANCH_NOT_TAKEN op, name, pin
  .local ok, trap
  SETP pin
  op trap
  jmp ok
trap:
.ident(.concat("fail_", name, "_not_taken")):
  jmp .ident(.concat("fail_", name, "_not_taken"))
ok:
.endmacro

; ---- the program ---------------------------------------------------------------

.segment "CODE"
start:
  cld
  ldx #$FF
  txs
  lda #<ABS
  sta PTRX
  lda #>ABS
  sta PTRX+1
  lda #<(ABS-$10)
  sta PTRY
  lda #>(ABS-$10)
  sta PTRY+1

; loads
  READ8 lda, "lda_n", $80, $00, FC|FV, $80, FN|FV|FC
  READ_IMM lda, "lda_z", $00, $80, 0, $00, FZ
  PLACE $81
  SETP 0
  ldx #$81
  EXPECT_X "ldx_imm", $81, FN
  ldx #0
  SETP 0
  ldx ZP
  EXPECT_X "ldx_zp", $81, FN
  ldx #0
  ldy #$30
  SETP 0
  ldx $F0,y
  EXPECT_X "ldx_zpy_n", $81, FN
  ldx #0
  SETP 0
  ldx ABS
  EXPECT_X "ldx_abs", $81, FN
  ldx #0
  ldy #$10
  SETP 0
  ldx ABS-$10,y
  EXPECT_X "ldx_aby", $81, FN
  SETP 0
  ldy #$81
  EXPECT_Y "ldy_imm", $81, FN
  ldy #0
  SETP 0
  ldy ZP
  EXPECT_Y "ldy_zp", $81, FN
  ldy #0
  ldx #$30
  SETP 0
  ldy $F0,x
  EXPECT_Y "ldy_zpx", $81, FN
  ldy #0
  SETP 0
  ldy ABS
  EXPECT_Y "ldy_abs", $81, FN
  ldy #0
  ldx #$10
  SETP 0
  ldy ABS-$10,x
  EXPECT_Y "ldy_abx", $81, FN
  SETP FN
  ldy #0
  EXPECT_Y "ldy_z", $00, FZ

; address wrap-arounds
  lda #$66
  sta $0020
  ldx #$30
  SETP 0
  lda $FFF0,x                         ; $FFF0 + $30 wraps to $0020
  EXPECT "abx_wrap", $66, 0
  lda #<ABS
  sta $FF
  lda #>ABS
  sta $00                             ; pointer at $FF takes its high byte from $00
  PLACE $67
  ldy #0
  SETP 0
  lda ($FF),y
  EXPECT "izy_pointer_wrap", $67, 0

; arithmetic
  READ8 adc, "adc_v", $50, $50, 0, $A0, FV|FN
  READ_IMM adc, "adc_carry_in", $FF, $01, FC, $01, FC
  READ_IMM adc, "adc_zero", $80, $80, 0, $00, FZ|FC|FV
  READ_IMM adc, "adc_decimal_is_binary", $09, $01, FD, $0A, FD
  READ8 sbc, "sbc_borrow", $01, $00, FC, $FF, FN
  READ_IMM sbc, "sbc_v", $7F, $80, FC, $01, FC|FV
  READ_IMM sbc, "sbc_carry_clear", $01, $05, 0, $03, FC
  READ_IMM sbc, "sbc_decimal_is_binary", $01, $10, FD|FC, $0F, FD|FC

; logic
  READ8 and, "and", $0F, $F3, FC|FV, $03, FC|FV
  READ_IMM and, "and_z", $F0, $0F, 0, $00, FZ
  READ8 ora, "ora", $80, $01, 0, $81, FN
  READ8 eor, "eor", $FF, $FF, FC, $00, FC|FZ
  READ_IMM eor, "eor_n", $0F, $70, 0, $7F, 0

; compares
  READ8 cmp, "cmp_eq", $42, $42, FV, $42, FV|FZ|FC
  READ_IMM cmp, "cmp_lt", $43, $42, FC, $42, FN
  READ_IMM cmp, "cmp_gt", $01, $42, 0, $42, FC
  READ_IMM cmp, "cmp_unsigned", $FF, $01, 0, $01, 0
  PLACE $42
  ldx #$42
  SETP 0
  cpx #$42
  EXPECT_X "cpx_imm", $42, FZ|FC
  SETP 0
  cpx ZP
  EXPECT_X "cpx_zp", $42, FZ|FC
  SETP 0
  cpx ABS
  EXPECT_X "cpx_abs", $42, FZ|FC
  SETP FC
  cpx #$43
  EXPECT_X "cpx_lt", $42, FN
  ldy #$42
  SETP 0
  cpy #$42
  EXPECT_Y "cpy_imm", $42, FZ|FC
  SETP 0
  cpy ZP
  EXPECT_Y "cpy_zp", $42, FZ|FC
  SETP 0
  cpy ABS
  EXPECT_Y "cpy_abs", $42, FZ|FC
  SETP 0
  cpy #$01
  EXPECT_Y "cpy_gt", $42, FC

; BIT
  PLACE $C0
  SETP FC
  lda #$3F
  bit ZP
  EXPECT "bit_zp", $3F, FN|FV|FZ|FC
  SETP FC
  lda #$3F
  bit ABS
  EXPECT "bit_abs", $3F, FN|FV|FZ|FC
  PLACE $01
  SETP FN|FV
  lda #$01
  bit ZP
  EXPECT "bit_clears_nv", $01, 0

; shifts, rotates, increments
  SHIFT5 asl, "asl", $80, 0, $00, FC|FZ
  SHIFT5 lsr, "lsr", $01, FN, $00, FC|FZ
  SHIFT5 rol, "rol", $80, FC, $01, FC
  SHIFT5 ror, "ror", $01, FC, $80, FC|FN
  SETP FC
  lda #$41
  asl a
  EXPECT "asl_n", $82, FN
  SETP FC
  lda #$80
  lsr a
  EXPECT "lsr_c_out", $40, 0
  SETP 0
  lda #$40
  rol a
  EXPECT "rol_no_carry", $80, FN
  SETP 0
  lda #$02
  ror a
  EXPECT "ror_no_carry", $01, 0
  INCDEC4 inc, "inc", $FF, FC|FV, $00, FC|FV|FZ
  INCDEC4 dec, "dec", $01, FC, $00, FC|FZ
  PLACE $7F
  SETP 0
  inc ZP
  EXPECT_MEM "inc_n", ZP, $80, FN
  PLACE $00
  SETP 0
  dec ABS
  EXPECT_MEM "dec_wrap", ABS, $FF, FN

; stores, in every mode
  PLACE 0
  SETP 0
  lda #$5A
  sta ZP
  EXPECT_MEM "sta_zp", ZP, $5A, 0
  PLACE 0
  SETP 0
  ldx #$30
  lda #$5B
  sta $F0,x
  EXPECT_MEM "sta_zpx", ZP, $5B, 0
  PLACE 0
  SETP 0
  lda #$5C
  sta ABS
  EXPECT_MEM "sta_abs", ABS, $5C, 0
  PLACE 0
  SETP 0
  ldx #$10
  lda #$5D
  sta ABS-$10,x
  EXPECT_MEM "sta_abx", ABS, $5D, 0
  PLACE 0
  SETP 0
  ldy #$10
  lda #$5E
  sta ABS-$10,y
  EXPECT_MEM "sta_aby", ABS, $5E, 0
  PLACE 0
  SETP 0
  ldx #$40
  lda #$5F
  sta ($F0,x)
  EXPECT_MEM "sta_izx", ABS, $5F, 0
  PLACE 0
  SETP 0
  ldy #$10
  lda #$8A
  sta (PTRY),y
  EXPECT_MEM "sta_izy", ABS, $8A, FN
  PLACE 0
  SETP 0
  ldx #$61
  stx ZP
  EXPECT_MEM "stx_zp", ZP, $61, 0
  PLACE 0
  SETP 0
  ldy #$30
  ldx #$62
  stx $F0,y
  EXPECT_MEM "stx_zpy", ZP, $62, 0
  PLACE 0
  SETP 0
  ldx #$63
  stx ABS
  EXPECT_MEM "stx_abs", ABS, $63, 0
  PLACE 0
  SETP 0
  ldy #$64
  sty ZP
  EXPECT_MEM "sty_zp", ZP, $64, 0
  PLACE 0
  SETP 0
  ldx #$30
  ldy #$65
  sty $F0,x
  EXPECT_MEM "sty_zpx", ZP, $65, 0
  PLACE 0
  SETP 0
  ldy #$66
  sty ABS
  EXPECT_MEM "sty_abs", ABS, $66, 0
  lda #$0F
  sta $D418                           ; reaches the SID, not the memory image
  lda $D418
  cmp #$00
  TRAP_NE "sid_write_not_in_memory"

; register increments and transfers
  ldx #$FF
  SETP 0
  inx
  EXPECT_X "inx_wrap", $00, FZ
  SETP 0
  dex
  EXPECT_X "dex_wrap", $FF, FN
  ldy #$7F
  SETP 0
  iny
  EXPECT_Y "iny_n", $80, FN
  ldy #$01
  SETP 0
  dey
  EXPECT_Y "dey_z", $00, FZ
  ldx #$00
  SETP 0
  lda #$80
  tax
  EXPECT_X "tax", $80, FN
  ldy #$55
  SETP 0
  lda #$00
  tay
  EXPECT_Y "tay", $00, FZ
  ldx #$01
  lda #$80
  SETP FC
  txa
  EXPECT "txa", $01, FC
  ldy #$FF
  lda #$00
  SETP 0
  tya
  EXPECT "tya", $FF, FN
  ldx #$C0
  SETP FZ
  txs                                 ; no flags
  EXPECT_P "txs", FZ
  ldx #$00
  SETP 0
  tsx
  EXPECT_X "tsx", $C0, FN
  ldx #$FF
  txs

; flag instructions
  SETP 0
  sec
  EXPECT_P "sec", FC
  SETP FC
  sed
  EXPECT_P "sed", FC|FD
  SETP FC|FD
  sei
  EXPECT_P "sei", FC|FD|FI
  SETP FC|FD|FI
  clc
  EXPECT_P "clc", FD|FI
  SETP FD|FI
  cld
  EXPECT_P "cld", FI
  SETP FI
  cli
  EXPECT_P "cli", 0
  SETP FV|FC
  clv
  EXPECT_P "clv", FC
  SETP FN|FV|FC
  lda #$80
  nop
  EXPECT "nop", $80, FN|FV|FC

; stack
  lda #$80
  pha
  lda #$00
  SETP 0
  pla
  EXPECT "pla", $80, FN
  SETP FN|FV|FD|FI|FZ|FC
  php
  pla
  cmp #FN|FV|FD|FI|FZ|FC              ; as held: no B, no bit 5
  TRAP_NE "php_as_held"
  lda #$FF
  pha
  plp
  php
  pla
  cmp #$FF                            ; PLP loads all eight bits
  TRAP_NE "plp_all_bits"
  SETP 0
  ldx #$00
  txs
  lda #$5A
  pha                                 ; writes $0100, S stays at $00
  tsx
  cpx #$00
  TRAP_NE "push_sticks_at_00"
  lda $0100
  cmp #$5A
  TRAP_NE "push_at_00_writes_0100"
  ldx #$FF
  txs
  lda #$77
  sta $01FF
  lda #$00
  pla                                 ; S stays at $FF and $01FF is read
  cmp #$77
  TRAP_NE "pull_sticks_at_ff"
  tsx
  cpx #$FF
  TRAP_NE "pull_leaves_s_at_ff"

; branches
  BRANCH_TAKEN bcc, "bcc", 0
  BRANCH_NOT_TAKEN bcc, "bcc", FC
  BRANCH_TAKEN bcs, "bcs", FC
  BRANCH_NOT_TAKEN bcs, "bcs", 0
  BRANCH_TAKEN beq, "beq", FZ
  BRANCH_NOT_TAKEN beq, "beq", 0
  BRANCH_TAKEN bne, "bne", 0
  BRANCH_NOT_TAKEN bne, "bne", FZ
  BRANCH_TAKEN bmi, "bmi", FN
  BRANCH_NOT_TAKEN bmi, "bmi", 0
  BRANCH_TAKEN bpl, "bpl", 0
  BRANCH_NOT_TAKEN bpl, "bpl", FN
  BRANCH_TAKEN bvc, "bvc", 0
  BRANCH_NOT_TAKEN bvc, "bvc", FV
  BRANCH_TAKEN bvs, "bvs", FV
  BRANCH_NOT_TAKEN bvs, "bvs", 0
  ldx #3
  ldy #0
backward:
  iny
  dex
  bne backward
  EXPECT_Y "branch_backward", 3, FZ

; jumps and calls
  jmp jmp_abs_target
fail_jmp_abs:
  jmp fail_jmp_abs
jmp_abs_target:
  lda #<jind_target
  sta $02FF
  lda #>jind_target
  sta $0300
  lda #>fail_jmp_ind_page_wrap        ; where a real 6502 would take the high byte
  sta $0200
  .byte $6C, $FF, $02                 ; jmp ($02FF), written out: ca65 warns of the page border
fail_jmp_ind:
  jmp fail_jmp_ind
jind_back:

  tsx
  stx $40
  jsr subroutine
jsr_return:
  tsx
  cpx $40
  TRAP_NE "rts_restores_s"

  lda #>(rti_target - 1)              ; RTI pulls a return address like RTS
  pha
  lda #<(rti_target - 1)
  pha
  SETP FN|FC
  rti
fail_rti:
  jmp fail_rti
rti_target:
  EXPECT_P "rti_keeps_p", FN|FC
  tsx
  cpx $40
  TRAP_NE "rti_restores_s"

  lda #$4C                            ; BRK goes to $0000: JMP brk_back
  sta $00
  lda #<brk_back
  sta $01
  lda #>brk_back
  sta $02
  brk
fail_brk:
  jmp fail_brk
brk_back:
  tsx
  cpx $40
  TRAP_NE "brk_pushes_nothing"

; undocumented opcodes are one byte each
  SETP FV|FC
  lda #$42
  .byte $FF, $02, $80, $0C, $1A, $9C
  lda #$37
  EXPECT "undocumented_one_byte", $37, FV|FC

success:
  jmp success

subroutine:
  tsx                                 ; JSR pushed the address of its last byte
  lda $0101,x
  cmp #<(jsr_return - 1)
  TRAP_NE "jsr_pushes_low"
  lda $0102,x
  cmp #>(jsr_return - 1)
  TRAP_NE "jsr_pushes_high"
  rts

; JMP ($02FF) must arrive here, at the start of a page; a real 6502 would
; arrive at the start of the next one.
.segment "PAGES"
.align $100
jind_target:
  jmp jind_back
.res $100 - 3
fail_jmp_ind_page_wrap:
  jmp fail_jmp_ind_page_wrap
