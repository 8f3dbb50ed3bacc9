; Fuzz seed: a PSID whose init programs and triggers the digi channel (4-bit
; samples from $2000), and whose play routine retriggers it with a period of 0
; every 4th call and switches it off and on again.
; Build: acme digi.asm   (writes digi.sid)
!cpu 6502
!to "digi.sid", plain
* = $0000
        !text "PSID"
        !be16 2, $007C, 0, init, play, 1, 1
        !be32 0
        !fill $7C - *, 0
        !word $1000
!pseudopc $1000 {
init    ldx #0
-       txa
        sta $2000,x
        inx
        bne -
        lda #$00
        sta $D41E
        lda #$20
        sta $D41F
        lda #$00
        sta $D43D
        lda #$21
        sta $D43E
        lda #$02
        sta $D43F               ; two repeats
        lda #$00
        sta $D47E
        lda #$20
        sta $D47F
        lda #$80
        sta $D45D
        lda #$00
        sta $D45E
        sta $D47D
        lda #$FF
        sta $D41D
        lda #$0F
        sta $D418
        rts
play    inc $30
        lda $30
        and #3
        bne +
        lda #0
        sta $D45D               ; period 0
        lda #$FE
        sta $D41D
        rts
+       cmp #2
        bne +
        lda #$FD
        sta $D41D
        lda #$40
        sta $D45D
        lda #$FF
        sta $D41D
+       rts
}
