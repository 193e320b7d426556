<CsoundSynthesizer>
;
; glimmerQ's soundtrack: 152 s of electronic music at 120 BPM, rendered by Csound.
;
; Every sound is synthesised here: noise-and-filter drums, a subtractive bass, detuned-saw
; pads, a plucked arpeggio and a saw lead, through one reverb, one delay, a bus compressor
; and a limiter. The instrument "Song" writes the whole arrangement as events at start-up
; from the tables below (sections, chords, patterns, the lead's melody); edit those and
; render again:
;
;   csound -o soundtrack.wav data/soundtrack.csd
;   oggenc --serial 20261208 -q 5 -o soundtrack.ogg soundtrack.wav
;
; The build does exactly that (tools/build_soundtrack.cmake). The noise generators all run
; from fixed seeds, so the same file always gives the same samples. The section table must
; follow data/demoflow: one bar is 2 s, and every scene there starts on one of these bars.
;
; Not here: tempo changes, swing, anything sampled.

<CsOptions>
-d -m0 -W -3 -o soundtrack.wav
</CsOptions>

<CsInstruments>
sr     = 44100
ksmps  = 32
nchnls = 2
0dbfs  = 1

seed 20261208

giBarSeconds  = 2.0                  ; 120 BPM, four beats
giStepSeconds = giBarSeconds / 16    ; one sixteenth
giSongSeconds = 152                  ; the show's `end`
giFadeSeconds = 4                    ; the final fade ends with the song
giMakeUp      = 3.4                  ; gain between the bus compressor and the limiter
giCeiling     = 0.71                 ; the limiter's ceiling, linear (about -3.0 dBFS)
giLookahead   = 0.003                ; s the limiter sees ahead
giLimitRelease = 0.15                ; s

; --- Sections: the first bar of each, then the bar where the song ends.
;   0 opening sparks (build)   1 cube row       2 stone cross     3 glow (breakdown)
;   4 tunnel (drop)            5 icosahedron    6 coil (build)    7 split screen (climax)
;   8 land                     9 greetings      10 outro
giSectionBar[] fillarray 0, 8, 14, 20, 26, 32, 38, 44, 52, 60, 68, 76

; --- What plays in each section (levels 0..1, cut-offs in Hz, "End" = value in its last bar).
;                      intro cube cross glow tunnel poly coil split land greet outro
giKickLvl[]   fillarray 0.9,  1,   1,    0,   1,    1,   1,   1,    1,   0,    0.85
giClapLvl[]   fillarray 0,    0.9, 0.9,  0,   1,    0.9, 0.9, 1,    0.9, 0,    0.6
giHatLvl[]    fillarray 0.5,  0.8, 0,    0,   0,    0.8, 0.8, 0,    0.8, 0.5,  0.6
giOpenLvl[]   fillarray 0,    0,   0.7,  0,   0.8,  0,   0,   0.9,  0,   0,    0
giTickLvl[]   fillarray 0.6,  0.6, 0.7,  0.5, 0.8,  0.8, 0.8, 1,    0.6, 0.5,  0.5
giBassLvl[]   fillarray 0.6,  1,   1,    0.5, 1,    1,   1,   1,    1,   0.6,  0.8
giBassRolls[] fillarray 0,    1,   1,    0,   1,    1,   1,   1,    1,   0,    1
giBassCut[]   fillarray 300,  700, 900,  250, 1000, 1100, 400, 1400, 900, 250,  600
giBassCutEnd[] fillarray 500, 700, 900,  250, 1000, 1100, 2200, 1400, 900, 250, 400
giArpLvl[]    fillarray 0.8,  0.7, 0.6,  1,   0.7,  1,   0.9, 0.8,  0.9, 0.9,  0.7
giArpCut[]    fillarray 400,  2200, 2600, 1200, 3500, 4500, 1500, 5000, 3500, 1500, 2500
giArpCutEnd[] fillarray 2200, 2200, 2600, 4000, 3500, 4500, 6000, 5000, 3500, 1500, 900
giPadLvl[]    fillarray 1,    0.5, 0.5,  0.9, 0.6,  0.5, 0.6, 0.8,  0.5, 0.9,  1
giPadCut[]    fillarray 700,  1500, 1800, 1200, 2500, 2000, 1500, 3500, 2000, 1400, 1400
giPadCutEnd[] fillarray 2500, 1500, 1800, 4000, 2500, 2000, 3000, 3500, 2000, 1400, 700
giLeadLvl[]   fillarray 0,    0,   0.9,  0.4, 1,    0,   0,   1.2,  0,   0,    0.7
giLeadCut[]   fillarray 0,    0,   4500, 1800, 5000, 0,   0,   7000, 0,   0,    3000
; A drum roll in the last bar from this step (-1: none); "Roll8" adds eighths the bar before.
giRollFrom[]  fillarray 0,    12,  12,   0,   14,   12,  0,   8,    8,   -1,   -1
giRoll8[]     fillarray 1,    0,   0,    1,   0,    0,   1,   0,    0,   0,    0
; A falling boom under the flash that opens the section.
giImpact[]    fillarray 1,    1,   0,    1,   1,    0,   1,   1,    1,   1,    0

; --- Harmony, A minor: chord 0 Am, 1 F, 2 C, 3 G.
giPadNote[]  fillarray 57,60,64,69,  57,60,65,69,  55,60,64,67,  55,59,62,67
giRootNote[] fillarray 45, 41, 48, 43
giArpNote[]  fillarray 69,72,76,81,  65,69,72,77,  67,72,76,79,  67,71,74,79
giArpOrder[] fillarray 0,2,3,2, 1,2,3,2, 0,2,3,2, 1,3,2,3
giProg6[]    fillarray 0, 1, 2, 3, 1, 3
giProg8[]    fillarray 0, 1, 2, 3, 0, 1, 2, 3
giProgOutro[] fillarray 0, 1, 2, 3, 1, 3, 0, 0

; --- The lead's melody over eight bars (steps from its start, lengths in steps, MIDI notes);
; the first 20 notes are its first four bars.
giLeadAt[]   fillarray 0,3,6,8,10, 16,19,22,24,28, 32,35,38,40,42, 48,51,54,56,60, 64,67,70,72,74, 80,83,86,88,92, 96,99,102,104,108, 112,118,120,124
giLeadLen[]  fillarray 3,3,2,2,6,  3,3,2,4,4,     3,3,2,2,6,      3,3,2,4,4,      3,3,2,2,6,      3,3,2,4,4,      3,3,2,4,4,         6,2,4,4
giLeadNote[] fillarray 76,74,72,74,76, 72,69,72,77,76, 79,76,72,76,79, 74,71,74,79,74, 81,79,76,79,81, 77,76,72,77,81, 79,76,79,84,83, 79,74,71,74
giLeadHalf = 20

; Buses, summed by the instruments and emptied by "Master" every cycle.
gaDryL  init 0
gaDryR  init 0
gaPumpL init 0   ; ducked under the kick
gaPumpR init 0
gaRevL  init 0
gaRevR  init 0
gaDelL  init 0
gaDelR  init 0
gaSide  init 0   ; the kick's envelope, for the ducking

; Constant-power pan, position 0 (left) .. 1 (right).
opcode Pan, aa, ai
    asig, ipos xin
    xout asig * cos(ipos * $M_PI / 2), asig * sin(ipos * $M_PI / 2)
endop

; Gain that keeps a signal's peaks (apeak, rectified) under iCeiling when applied to the
; signal delayed by iLookahead: a peak is taken at once, smoothed in over the look-ahead and
; released over iRelease seconds. Runs sample by sample.
opcode LimiterGain, a, aiii
    setksmps 1
    apeak, iCeiling, iLookahead, iRelease xin
    iSmooth  = exp(-7 / (iLookahead * sr))   ; 99.9 % of a step within the look-ahead
    iRelease = exp(-1 / (iRelease * sr))
    kheld   init iCeiling
    ksmooth init iCeiling
    kin = k(apeak)
    if kin < iCeiling then
        kin = iCeiling
    endif
    if kin > kheld then
        kheld = kin
    else
        kheld = kin + (kheld - kin) * iRelease
    endif
    ksmooth = kheld + (ksmooth - kheld) * iSmooth
    xout a(iCeiling / ksmooth)
endop

; Writes the arrangement: one pass over every bar and step of the song.
instr Song
    iSongBars = giSectionBar[lenarray(giSectionBar) - 1]
    iBar = 0
    while iBar < iSongBars do
        iSec = 0
        while giSectionBar[iSec + 1] <= iBar do
            iSec += 1
        od
        iIn   = iBar - giSectionBar[iSec]
        iLen  = giSectionBar[iSec + 1] - giSectionBar[iSec]
        iLast = (iIn == iLen - 1 ? 1 : 0)
        iT    = iBar * giBarSeconds
        if iSec == 10 then
            iChord = giProgOutro[iIn]
        elseif iLen == 6 then
            iChord = giProg6[iIn]
        else
            iChord = giProg8[iIn % 8]
        endif
        iSweep = (iLen > 1 ? iIn / (iLen - 1) : 0)

        ; Which parts play in this bar, beyond the section's table.
        iKick = giKickLvl[iSec]
        iClap = giClapLvl[iSec]
        iHat  = giHatLvl[iSec]
        iOpen = giOpenLvl[iSec]
        iTick = giTickLvl[iSec]
        iRolls = giBassRolls[iSec]
        iArp8 = 0
        iArp  = giArpLvl[iSec]
        iHalfKick = 0
        if iSec == 0 then                    ; the opening builds up bar by bar
            iKick = (iIn >= 4 ? iKick : 0)
            iHat  = (iIn >= 4 ? iHat : 0)
            iTick = (iIn >= 2 ? iTick * (iIn - 1) / 6 : 0)
            iArp  = iArp * (0.5 + 0.5 * iSweep)
        elseif iSec == 9 then                ; greetings: half-time kick and hats come back late
            iHat  = (iIn >= 2 ? iHat : 0)
            iHalfKick = (iIn >= 4 ? 0.55 : 0)
            iArp8 = 1
        elseif iSec == 10 && iIn >= 4 then   ; the outro's drums stop after four bars
            iKick = 0
            iClap = 0
            iHat  = 0
            iTick = 0
            iRolls = 0
            iArp8 = 1
            iArp  = iArp * (1 - 0.15 * (iIn - 4))
        elseif iSec == 3 then                ; breakdown: ticks only under the final build
            iTick = (iIn >= 4 ? iTick * (iIn - 3) / 2 : 0)
        endif
        iRollFrom = (iLast == 1 ? giRollFrom[iSec] : -1)
        iRoll8 = (iIn == iLen - 2 ? giRoll8[iSec] : 0)

        ; Section starts: crash and (under a flash) a boom; the risers end on them.
        if iIn == 0 && iSec > 0 then
            schedule "Crash", iT, 3.5, 0.35
        endif
        if iIn == 0 && giImpact[iSec] == 1 then
            schedule "Impact", iT, 2.5, 0.8
        endif
        if (iSec == 0 && iIn == 4) || (iSec == 7 && iIn == 4) || (iSec == 10 && iIn == 4) then
            schedule "Crash", iT, 3, 0.22
        endif
        if iSec == 0 && iIn == 4 then
            schedule "Riser", iT, 4 * giBarSeconds, 0.28
        elseif iSec == 3 && iIn == 4 then
            schedule "Riser", iT, 2 * giBarSeconds, 0.32
        elseif iSec == 6 && iIn == 2 then
            schedule "Riser", iT, 4 * giBarSeconds, 0.32
        endif

        ; Pad: one chord a bar, overlapping the next.
        iPadCut = giPadCut[iSec] + (giPadCutEnd[iSec] - giPadCut[iSec]) * iSweep
        schedule "Pad", iT, giBarSeconds, 0.16 * giPadLvl[iSec], iChord, iPadCut

        ; Bass: rolling sixteenths off the kick, or one held note a bar.
        iBassCut = giBassCut[iSec] + (giBassCutEnd[iSec] - giBassCut[iSec]) * iSweep
        if iRolls == 0 && giBassLvl[iSec] > 0 then
            schedule "Bass", iT, giBarSeconds - 0.05, 0.3 * giBassLvl[iSec], giRootNote[iChord], iBassCut, 1
        endif

        ; Lead: the melody's first four bars, all eight in the climax; the outro resolves.
        if iIn == 0 && giLeadLvl[iSec] > 0 then
            iNotes = (iSec == 7 ? lenarray(giLeadAt) : giLeadHalf)
            iK = 0
            while iK < iNotes do
                schedule "Lead", iT + giLeadAt[iK] * giStepSeconds, giLeadLen[iK] * giStepSeconds - 0.02, \
                         0.14 * giLeadLvl[iSec], giLeadNote[iK], giLeadCut[iSec]
                iK += 1
            od
        endif
        if iSec == 10 && iIn == 4 then
            schedule "Lead", iT, giBarSeconds - 0.02, 0.08, 72, 2500
            schedule "Lead", iT + giBarSeconds, giBarSeconds - 0.02, 0.08, 71, 2200
            schedule "Lead", iT + 2 * giBarSeconds, 2 * giBarSeconds, 0.08, 69, 1800
        endif

        iStep = 0
        while iStep < 16 do
            it = iT + iStep * giStepSeconds
            iBeat = (iStep % 4 == 0 ? 1 : 0)
            iOff  = (iStep % 4 == 2 ? 1 : 0)
            iRolling = ((iRollFrom >= 0 && iStep >= iRollFrom) || (iRoll8 == 1 && iStep % 2 == 0) ? 1 : 0)
            ; A full-bar roll keeps only the first two kicks.
            iKickHere = iKick
            if iRollFrom >= 0 && iRollFrom <= 8 && iStep >= 8 then
                iKickHere = 0
            elseif iRollFrom >= 12 && iStep >= iRollFrom then
                iKickHere = 0
            endif

            if iBeat == 1 && iKickHere > 0 then
                schedule "Kick", it, 0.45, 0.65 * iKickHere
            elseif (iStep == 0 || iStep == 8) && iHalfKick > 0 then
                schedule "Kick", it, 0.45, 0.65 * iHalfKick
            endif
            if (iStep == 4 || iStep == 12) && iClap > 0 && iRolling == 0 then
                schedule "Clap", it, 0.35, 0.5 * iClap, frac(it * 0.1234 + 0.31)
            endif
            if iRolling == 1 then
                iRollAt = (iRoll8 == 1 ? iStep / 32 : 0.5 + iStep / 32)
                schedule "Clap", it, 0.2, 0.45 * (0.25 + 0.75 * iRollAt), frac(it * 0.377 + 0.11)
            endif
            if iOff == 1 && iOpen > 0 then
                schedule "Hat", it, 0.3, 0.22 * iOpen, 0.22, 0.6, frac(it * 0.411 + 0.2)
            elseif iOff == 1 && iHat > 0 then
                schedule "Hat", it, 0.09, 0.2 * iHat, 0.06, 0.6, frac(it * 0.291 + 0.4)
            elseif iOff == 0 && iTick > 0 then
                iAccent = (iStep % 2 == 1 ? 1 : 0.6)
                schedule "Hat", it, 0.05, 0.1 * iTick * iAccent * random(0.8, 1), 0.025, 0.35, frac(it * 0.173 + 0.7)
            endif

            if iRolls == 1 && iBeat == 0 && giBassLvl[iSec] > 0 then
                iBassNote = giRootNote[iChord] + (iOff == 1 ? 12 : 0)
                schedule "Bass", it, giStepSeconds - 0.01, 0.3 * giBassLvl[iSec], iBassNote, iBassCut, 4
            endif

            if iArp8 == 0 || iStep % 2 == 0 then
                iArpCut = giArpCut[iSec] + (giArpCutEnd[iSec] - giArpCut[iSec]) * (iIn * 16 + iStep) / (iLen * 16)
                iArpAmp = 0.09 * iArp * (iBeat == 1 ? 1 : 0.7)
                iPos = 0.5 + 0.3 * sin(it * 1.3)
                schedule "Arp", it, (iArp8 == 1 ? 0.4 : 0.2), iArpAmp, giArpNote[iChord * 4 + giArpOrder[iStep]], iArpCut, iPos
            endif
            iStep += 1
        od
        iBar += 1
    od
endin

; Sine kick with a falling pitch, a noise click and the envelope the ducking follows.
instr Kick
    afreq expseg 240, 0.02, 90, 0.08, 52, p3 - 0.1, 44
    aamp  expseg 1, 0.08, 0.7, p3 - 0.08, 0.001
    abody poscil 1, afreq
    abody = tanh(abody * 2) * 0.8
    anoise rand 1, 0.3
    aclick butterhp anoise, 2000
    aclickAmp expseg 1, 0.008, 0.001, p3 - 0.008, 0.0001
    aout = (abody * aamp + aclick * aclickAmp * 0.25) * p4
    gaDryL += aout
    gaDryR += aout
    aside expseg 1, 0.22, 0.001, p3 - 0.22, 0.001
    gaSide += aside
endin

; Clap and snare in one: three bursts of band-passed noise, a tail and a short tone.
; p4 amplitude, p5 noise seed (0..1)
instr Clap
    anoise rand 1, p5
    aband butterbp anoise, 1400, 1200
    abursts linseg 1, 0.009, 0.1, 0.001, 1, 0.009, 0.1, 0.001, 1, 0.009, 0.1, p3 - 0.029, 0
    atail linseg 0, 0.02, 0, 0.001, 1, p3 - 0.021, 0
    atail = atail * atail * atail
    asnare poscil 1, 185
    asnareAmp expseg 1, 0.06, 0.001, p3 - 0.06, 0.001
    aout = (aband * (abursts * 0.8 + atail * 0.9) + asnare * asnareAmp * 0.35) * p4
    aL, aR Pan aout, 0.48
    gaDryL += aL
    gaDryR += aR
    gaRevL += aL * 0.25
    gaRevR += aR * 0.25
endin

; Hi-hat: high-passed noise with a ring near 10 kHz.
; p4 amplitude, p5 decay (s), p6 pan, p7 noise seed (0..1)
instr Hat
    anoise rand 1, p7
    ahigh butterhp anoise, 7500
    aring butterbp anoise, 10000, 2500
    aamp expseg 1, p5, 0.001, p3 - p5, 0.0001
    aout = (ahigh * 0.6 + aring * 0.8) * aamp * p4
    aL, aR Pan aout, p6
    gaDryL += aL
    gaDryR += aR
    gaRevL += aL * 0.1
    gaRevR += aR * 0.1
endin

; Crash: two bright noises, one a side, with a long decay. p4 amplitude
instr Crash
    anoiseL rand 1, 0.21
    anoiseR rand 1, 0.73
    aL butterhp anoiseL, 4500
    aR butterhp anoiseR, 4500
    aL = aL + butterbp(anoiseL, 7000, 1500) * 1.5
    aR = aR + butterbp(anoiseR, 7000, 1500) * 1.5
    aamp expseg 0.001, 0.003, 1, p3 - 0.003, 0.001
    gaDryL += aL * aamp * p4 * 0.5
    gaDryR += aR * aamp * p4 * 0.5
    gaRevL += aL * aamp * p4 * 0.2
    gaRevR += aR * aamp * p4 * 0.2
endin

; Impact: a sine falling from 110 Hz to 28 Hz over rumbling low noise. p4 amplitude
instr Impact
    afreq expseg 110, 0.05, 55, p3 - 0.05, 28
    aamp  expseg 0.001, 0.005, 1, 0.1, 0.7, p3 - 0.105, 0.001
    asub poscil 1, afreq
    anoise rand 1, 0.57
    kcut expseg 3000, p3, 80
    arumble butterlp anoise, kcut
    aout = (asub * 0.8 + arumble * 0.5) * aamp * p4
    gaDryL += aout
    gaDryR += aout
    gaRevL += aout * 0.3
    gaRevR += aout * 0.3
endin

; Riser: noise through a band-pass sweeping up for the whole note. p4 amplitude
instr Riser
    anoiseL rand 1, 0.47
    anoiseR rand 1, 0.83
    kcut expseg 250, p3, 9000
    aL butterbp anoiseL, kcut, kcut * 0.3
    aR butterbp anoiseR, kcut * 1.05, kcut * 0.3
    kamp expseg 0.02, p3 * 0.95, 1, p3 * 0.05, 0.5
    gaDryL += aL * kamp * p4
    gaDryR += aR * kamp * p4
    gaRevL += aL * kamp * p4 * 0.4
    gaRevR += aR * kamp * p4 * 0.4
endin

; Bass: two detuned saws and a sine an octave below through a ladder filter that opens at
; the attack. p4 amplitude, p5 MIDI note, p6 cut-off (Hz), p7 filter envelope depth
instr Bass
    ifreq = cpsmidinn(p5)
    asaw1 vco2 1, ifreq
    asaw2 vco2 1, ifreq * 1.006
    asub poscil 1, ifreq * 0.5
    kenv linseg 0, 0.004, 1, p3 - 0.024, 0.7, 0.02, 0
    kopen expseg 1, 0.09, 0.01, p3 - 0.09, 0.01
    kcut limit p6 * (1 + p7 * kopen), 30, 12000
    afilt moogladder (asaw1 + asaw2) * 0.5, kcut, 0.3
    aout = (afilt * 0.8 + asub * 0.6) * kenv * p4
    gaPumpL += aout
    gaPumpR += aout
endin

; Pad: the chord's four notes as detuned saw pairs, spread across the stereo field.
; p4 amplitude, p5 chord (0..3), p6 cut-off (Hz)
instr Pad
    iRelease = 1.2
    xtratim iRelease
    iN = p5 * 4
    i1 = cpsmidinn(giPadNote[iN])
    i2 = cpsmidinn(giPadNote[iN + 1])
    i3 = cpsmidinn(giPadNote[iN + 2])
    i4 = cpsmidinn(giPadNote[iN + 3])
    iDetune = 1.0045
    aL = vco2(1, i1) + vco2(1, i2 * iDetune) + vco2(1, i3) + vco2(1, i4 * iDetune)
    aR = vco2(1, i1 * iDetune) + vco2(1, i2) + vco2(1, i3 * iDetune) + vco2(1, i4)
    kcut = p6 * (1 + 0.25 * lfo(1, 0.25))
    aL moogladder aL * 0.25, kcut, 0.2
    aR moogladder aR * 0.25, kcut * 1.03, 0.2
    kenv linsegr 0, 0.5, 1, p3, 1, iRelease, 0
    gaPumpL += aL * kenv * p4
    gaPumpR += aR * kenv * p4
    gaRevL += aL * kenv * p4 * 0.5
    gaRevR += aR * kenv * p4 * 0.5
endin

; Arpeggio pluck: a pulse and a saw through a ladder filter that closes quickly.
; p4 amplitude, p5 MIDI note, p6 cut-off (Hz), p7 pan
instr Arp
    ifreq = cpsmidinn(p5)
    apulse vco2 1, ifreq, 2, 0.3
    asaw vco2 1, ifreq * 1.003
    kamp expseg 0.001, 0.003, 1, p3 - 0.003, 0.001
    kclose expseg 1, 0.12, 0.2, p3 - 0.12, 0.1
    kcut limit p6 * (0.3 + kclose), 60, 15000
    afilt moogladder (apulse + asaw) * 0.5, kcut, 0.4
    aL, aR Pan afilt * kamp * p4, p7
    gaPumpL += aL
    gaPumpR += aR
    gaDelL += aL * 0.35
    gaDelR += aR * 0.35
    gaRevL += aL * 0.2
    gaRevR += aR * 0.2
endin

; Lead: three detuned saws and an octave with a late vibrato. p4 amplitude, p5 MIDI note,
; p6 cut-off (Hz)
instr Lead
    ifreq = cpsmidinn(p5)
    kdepth linseg 0, 0.25, 0, 0.3, 1, p3, 1
    kvib = 1 + 0.004 * kdepth * lfo(1, 5.5)
    a1 vco2 1, ifreq * kvib
    a2 vco2 1, ifreq * kvib * 1.007
    a3 vco2 1, ifreq * kvib * 0.993
    a4 vco2 0.5, ifreq * kvib * 2
    kenv linsegr 0, 0.01, 1, 0.15, 0.75, p3, 0.75, 0.2, 0
    aL moogladder (a1 + a2 * 0.8 + a4) * 0.4, p6, 0.25
    aR moogladder (a1 + a3 * 0.8 + a4) * 0.4, p6, 0.25
    gaDryL += aL * kenv * p4
    gaDryR += aR * kenv * p4
    gaDelL += aL * kenv * p4 * 0.3
    gaDelR += aR * kenv * p4 * 0.3
    gaRevL += aL * kenv * p4 * 0.35
    gaRevR += aR * kenv * p4 * 0.35
endin

; Reverb and delay returns, the ducking, bus compression, the limiter and the final fade.
instr Master
    arevL, arevR reverbsc gaRevL, gaRevR, 0.86, 9000
    abufL delayr 1
    atapL deltap 0.375
          delayw gaDelL + atapL * 0.35
    abufR delayr 1
    atapR deltap 0.5
          delayw gaDelR + atapR * 0.35
    aduck = 1 - 0.6 * limit(gaSide, 0, 1)
    aL = gaDryL + gaPumpL * aduck + arevL * 0.35 + atapL * 0.6
    aR = gaDryR + gaPumpR * aduck + arevR * 0.35 + atapR * 0.6
    aL dcblock2 aL
    aR dcblock2 aR
    ; Both channels get the same gain: one side-chain from their sum.
    alink = (aL + aR) * 0.5
    aL compress2 aL, alink, -90, -18, -10, 2, 0.01, 0.15, 0.01
    aR compress2 aR, alink, -90, -18, -10, 2, 0.01, 0.15, 0.01
    aL = aL * giMakeUp
    aR = aR * giMakeUp
    ; Peak limiter: the gain follows the louder channel's peaks before they arrive.
    again LimiterGain max(abs(aL), abs(aR)), giCeiling, giLookahead, giLimitRelease
    aL delay aL, giLookahead
    aR delay aR, giLookahead
    aL = aL * again
    aR = aR * again
    kfade linseg 0, 0.005, 1, giSongSeconds - giFadeSeconds - 0.005, 1, giFadeSeconds, 0
    kfade = kfade * kfade
    outs aL * kfade, aR * kfade
    clear gaDryL, gaDryR, gaPumpL, gaPumpR, gaRevL, gaRevR, gaDelL, gaDelR, gaSide
    ; The song stops here, tails or not: the show ends at this time.
    if timeinsts() >= giSongSeconds - 0.5 * ksmps / sr then
        event "e", 0, 0
    endif
endin
</CsInstruments>

<CsScore>
i "Song"   0 0.01
i "Master" 0 153
e
</CsScore>
</CsoundSynthesizer>
