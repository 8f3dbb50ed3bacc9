; "Stand-in": a short original loop for ORVELLA issue 37's intro, played in place
; of any of the twelve tunes that is not in this folder yet.
; Voice 1: pulse bass with a slow pulse-width sweep, through a resonant low-pass
; whose cutoff swings up and down. Voice 2: sawtooth arpeggio of the chord.
; Voice 3: noise drums. Am F C G, 16 rows a bar, a row every 6 frames.
;
; A complete PSID v2 file: header, little-endian load address, code at $1000.
; Build: acme standin.asm   (writes standin.sid)

!cpu 6502
!to "standin.sid", plain

SID = $D400

tick  = $20                 ; frames left in this row
row   = $21                 ; 0..15
bar   = $22                 ; chord = bar AND 3
arp   = $23                 ; 0..2: which chord note voice 2 plays
frame = $24
pw_lo = $25
pw_hi = $26
tmp   = $27

; ---- PSID v2 header (big-endian fields) ----
* = $0000
        !text "PSID"
        !be16 2                 ; version
        !be16 $007C             ; data offset
        !be16 0                 ; load address: the first two data bytes
        !be16 init
        !be16 play
        !be16 1                 ; songs
        !be16 1                 ; start song
        !be32 0                 ; speed: vertical blank for every song
.name   !text "Stand-in"
        !fill 32 - (* - .name), 0
.author !text "ORVELLA crew"
        !fill 32 - (* - .author), 0
.rel    !text "2009 ORVELLA"
        !fill 32 - (* - .rel), 0
        !be16 $0014             ; flags: PAL, 6581
        !byte 0, 0              ; start page, page length
        !be16 0                 ; reserved
        !word $1000             ; load address, little-endian

!pseudopc $1000 {
init    jmp start
play    jmp frame_update

start   lda #0
        ldx #$18
-       sta SID,x
        dex
        bpl -
        ldx #tmp - tick
-       sta tick,x
        dex
        bpl -
        lda #$04
        sta pw_hi
        lda #$09                ; bass: attack 0, decay 9
        sta SID+5
        lda #$A4                ; sustain 10, release 4
        sta SID+6
        lda #$08                ; arpeggio
        sta SID+12
        lda #$C6
        sta SID+13
        lda #$21                ; sawtooth, gate on for good
        sta SID+11
        lda #$00                ; drums decay to silence
        sta SID+20
        lda #$A1                ; resonance 10, voice 1 through the filter
        sta SID+23
        lda #$1F                ; low-pass, volume 15
        sta SID+24
        rts

frame_update
        inc frame
        dec tick
        bpl +
        lda #5
        sta tick
        jsr new_row
+       jsr arpeggio
        jmp sweep

new_row lda bar
        and #3
        tax
        ldy row
        lda bass_pattern,y
        beq .drums
        cmp #2                  ; C set for the octave up
        lda chord_root,x
        bcc +
        adc #11                 ; + 12 with the carry
+       tay
        lda freq_lo,y
        sta SID+0
        lda freq_hi,y
        sta SID+1
        lda #$40                ; retrigger
        sta SID+4
        lda #$41
        sta SID+4
.drums  ldy row
        lda drum_pattern,y
        beq .next
        tax
        lda drum_freq,x
        sta SID+15
        lda drum_decay,x
        sta SID+19
        lda #$80
        sta SID+18
        lda #$81
        sta SID+18
.next   inc row
        lda row
        cmp #16
        bne +
        lda #0
        sta row
        inc bar
+       rts

arpeggio
        lda bar
        and #3
        sta tmp
        asl
        adc tmp                 ; chord x 3 (carry clear after asl of 0..3)
        adc arp
        tay
        lda chord_notes,y
        tay
        lda freq_lo,y
        sta SID+7
        lda freq_hi,y
        sta SID+8
        ldx arp
        inx
        cpx #3
        bne +
        ldx #0
+       stx arp
        rts

sweep   lda frame
        and #63
        tay
        lda sweep_table,y
        sta SID+22
        clc
        lda pw_lo
        adc #24
        sta pw_lo
        sta SID+2
        lda pw_hi
        adc #0
        and #$0F
        sta pw_hi
        sta SID+3
        rts

; Notes are semitones from C0.
chord_root   !byte 21, 17, 24, 19                       ; A1 F1 C2 G1
chord_notes  !byte 57, 60, 64,  53, 57, 60,  60, 64, 67,  55, 59, 62
bass_pattern !byte 1, 0, 0, 1,  0, 0, 2, 0,  1, 0, 0, 1,  0, 2, 0, 0
drum_pattern !byte 1, 0, 3, 0,  2, 0, 3, 0,  1, 0, 3, 1,  2, 0, 3, 3   ; 1 kick, 2 snare, 3 hat
drum_freq    !byte 0, $06, $18, $60
drum_decay   !byte 0, $06, $07, $03

; PAL frequency register values, C0..B5.
freq_lo !byte $16, $27, $39, $4B, $5F, $74, $8A, $A1, $BA, $D4, $F0, $0E, $2D, $4E, $71, $96, $BE, $E7, $14, $42, $74, $A9, $E0, $1B, $5A, $9C, $E2, $2D, $7B, $CF, $27, $85, $E8, $51, $C1, $37
        !byte $B4, $38, $C4, $59, $F7, $9D, $4E, $0A, $D0, $A2, $81, $6D, $67, $70, $89, $B2, $ED, $3B, $9C, $13, $A0, $45, $02, $DA, $CE, $E0, $11, $64, $DA, $76, $39, $26, $40, $89, $04, $B4
freq_hi !byte $01, $01, $01, $01, $01, $01, $01, $01, $01, $01, $01, $02, $02, $02, $02, $02, $02, $02, $03, $03, $03, $03, $03, $04, $04, $04, $04, $05, $05, $05, $06, $06, $06, $07, $07, $08
        !byte $08, $09, $09, $0A, $0A, $0B, $0C, $0D, $0D, $0E, $0F, $10, $11, $12, $13, $14, $15, $17, $18, $1A, $1B, $1D, $1F, $20, $22, $24, $27, $29, $2B, $2E, $31, $34, $37, $3A, $3E, $41

; Filter cutoff (high byte), one sine period every 64 frames.
sweep_table
        !byte $2A, $2C, $2E, $30, $32, $34, $36, $38, $3A, $3B, $3C, $3D, $3E, $3F, $40, $40
        !byte $40, $40, $40, $3F, $3E, $3D, $3C, $3B, $3A, $38, $36, $34, $32, $30, $2E, $2C
        !byte $2A, $28, $26, $24, $22, $20, $1E, $1C, $1A, $19, $18, $17, $16, $15, $14, $14
        !byte $14, $14, $14, $15, $16, $17, $18, $19, $1A, $1C, $1E, $20, $22, $24, $26, $28
}
