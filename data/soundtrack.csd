<CsoundSynthesizer>
;
; glimmerQ's soundtrack: 152 s of electronic music at 120 BPM, rendered by Csound.
;
; Every sound is synthesised here: noise-and-filter drums and toms, a subtractive bass, wide
; detuned-saw pads, a plucked arpeggio and a saw lead, through one reverb, one ping-pong delay
; and a look-ahead limiter. The instrument "Song" writes the whole arrangement as events at
; start-up from the tables below (sections, what plays in each, the chords, the patterns and
; the lead's phrases); edit those and render again:
;
;   csound -o soundtrack.wav data/soundtrack.csd
;   oggenc --serial 20261208 -q 5 -o soundtrack.ogg soundtrack.wav
;
; The build does exactly that (tools/build_soundtrack.cmake). The noise generators all run
; from fixed seeds, so the same file always gives the same samples. The section table must
; follow data/demoflow: one bar is 2 s, and every scene there starts on one of these bars.
;
; The limiter delays the mix by its look-ahead; every event is scheduled that much early, so
; what is heard falls on the grid. "Master" writes the limiter's mean gain reduction of every
; bar into Csound's log ("limiter bar N: X dB"), where tools/measure-soundtrack reads it.
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
giMakeUp      = 2.2                  ; bus gain into the limiter
giCeiling     = 0.69                 ; the limiter's ceiling, linear (about -3.2 dBFS)
giLookahead   = 0.003                ; s the limiter sees ahead (and every event is early by)
giLimitRelease = 0.06                ; s
giDelaySeconds = 0.5                 ; the ping-pong delay's step: a beat

; --- Sections: the first bar of each, then the bar where the song ends.
;   0 opening sparks (build)   1 cube row       2 stone cross     3 glow (breakdown)
;   4 tunnel (drop)            5 icosahedron    6 coil (build)    7 split screen (climax)
;   8 land                     9 greetings      10 outro
giSectionBar[] fillarray 0, 8, 14, 20, 26, 32, 38, 44, 52, 60, 68, 76

; --- What plays in each section (levels 0..1, cut-offs in Hz, "End" = value in its last bar).
;                      open cube cross glow tunnel poly coil split land greet outro
giKickLvl[]   fillarray 0.9,  1,   0.85, 0,  1,    0.85, 0.85, 1.1,  0.9, 0.7,  0.9
giKickHalf[]  fillarray 0,    0,   0,    0,   0,    0,   0,   0,    0,   1,    0
giClapLvl[]   fillarray 0,    0.8, 0.9,  0,   0.9,  0.8, 0.9, 1,    0.9, 0,    0.6
; Hats: 0 none, 1 closed off-beat eighths, 2 sixteenth ticks, 3 open off-beats, 4 closed and ticks
giHatMode[]   fillarray 2,    1,   3,    2,   4,    2,   1,   4,    1,   2,    1
giHatLvl[]    fillarray 0.6,  1.2, 0.6,  0.5, 0.8,  0.8, 0.7, 1.8,  0.6, 0.45, 0.6
giRideLvl[]   fillarray 0,    0,   0,    0,   1,    0,   0,   1.4,  0,   0,    0
; Bass: pattern (0 one held note a bar, 1 rolling off the kick, 2 off-beat eighths,
; 3 syncopated), level, cut-off at the start and the end of the section. Roots lie from G1 to
; F#2; the fifth is above the root up to G2 (98 Hz), below it otherwise.
giBassPat[]   fillarray 0,    1,   2,    0,   1,    3,   1,   1,    3,   0,    2
giBassLvl[]   fillarray 0.5,  0.75, 1,   0,   0.8,  0.6, 0.8, 1,    0.75, 0.45, 0.8
giBassCut[]   fillarray 250,  600, 800,  220, 900,  300, 400, 1100, 800, 220,  500
giBassCutEnd[] fillarray 400, 600, 800,  220, 900,  300, 1800, 1100, 800, 220, 350
; Arpeggio: note order (a row of giArpOrder), lowest note, eighths (1) or sixteenths (0).
giArpPat[]    fillarray 0,    1,   2,    0,   3,    4,   1,   3,    2,   0,    4
giArpBase[]   fillarray 57,   64,  60,   64,  60,   67,  62,  64,   60,  64,   57
giArpEighths[] fillarray 1,   0,   0,    1,   0,    0,   0,   0,    0,   1,    1
giArpLvl[]    fillarray 0.8,  1.3, 0.6,  0.7, 0.6,  1.1, 0.9, 1,    0.8, 0.7,  0.7
giArpCut[]    fillarray 500,  2200, 2400, 800,  3200, 4200, 1500, 8000, 3000, 1400, 2400
giArpCutEnd[] fillarray 2200, 2200, 2400, 2500, 3200, 4200, 6000, 8000, 3000, 1400, 900
giPadLvl[]    fillarray 1,    1.2, 0.8,  0.55, 0.7,  1,   0.8, 1.2,  0.7, 0.7,  1
giPadCut[]    fillarray 900,  2000, 2200, 900,  3000, 2500, 1800, 6000, 2500, 1500, 1800
giPadCutEnd[] fillarray 3000, 2000, 2200, 2500, 3000, 2500, 3500, 6000, 2500, 1500, 900
; The fill in a section's last bar: 0 none, 1 snare roll from beat 3, 2 snare roll on beat 4,
; 3 toms down from beat 3, 4 a break (drums stop on beat 3, a swell), 5 eighths the bar before
; and sixteenths in the last bar over a kick on every beat (the builds).
giFill[]      fillarray 5,    3,   1,    5,   2,    3,   5,   1,    3,   4,    0
; A falling boom under the flash that opens the section.
giImpact[]    fillarray 0,    1,   0,    0,   1,    0,   1,   1,    1,   1,    0

; --- Harmony. Chords: root (pitch class, 0 = C) and kind (0 minor, 1 major, 2 major seventh,
; 3 minor seventh):   Am F  C  G  Em E  Dm Bm D  A  Fmaj7 Em7 Dm7
giChordRoot[] fillarray 9, 5, 0, 7, 4, 4, 2, 11, 2, 9, 5,    4,   2
giChordKind[] fillarray 0, 1, 1, 1, 0, 1, 0, 0,  1, 1, 2,    3,   3
; Intervals of each kind: third, fifth, the fourth note (octave or seventh).
giKindThird[] fillarray 3, 4, 4, 3
giKindTop[]   fillarray 12, 12, 11, 10
; One row of eight bars per section (six-bar sections use the first six):
;   opening      Am Am F F Am F Am G        cube row   Am F C G F G
;   cross        Am F C G Dm E              breakdown  Fmaj7 G Em Am Fmaj7 G
;   drop         Am F C G F G (the hook)    icosahedron Dm Am F E Dm E
;   coil         Dm F G Am F G              climax     Bm G D A, twice (a tone up)
;   land         Am F C G Am F Dm E         greetings  Fmaj7 Em7 Dm7 Am, twice
;   outro        Dm F G Am F G Am Am
giProg[] fillarray \
    0, 0, 1, 1, 0, 1, 0, 3, \
    0, 1, 2, 3, 1, 3, 0, 0, \
    0, 1, 2, 3, 6, 5, 0, 0, \
    10, 3, 4, 0, 10, 3, 0, 0, \
    0, 1, 2, 3, 1, 3, 0, 0, \
    6, 0, 1, 5, 6, 5, 0, 0, \
    6, 1, 3, 0, 1, 3, 0, 0, \
    7, 3, 8, 9, 7, 3, 8, 9, \
    0, 1, 2, 3, 0, 1, 6, 5, \
    10, 11, 12, 0, 10, 11, 12, 0, \
    6, 1, 3, 0, 1, 3, 0, 0

; Bass patterns, sixteen steps: 0 rest, 1 root, 2 the fifth above.
giBassSteps[] fillarray \
    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, \
    0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 2, 0, 1, 2, 1, \
    0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 2, 0, \
    0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 2, 0, 2, 1, 0
; Arpeggio orders, sixteen steps: 0-3 the chord's notes upwards, 4-7 the same an octave up.
giArpOrder[] fillarray \
    0, 1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3, 4, 3, 2, 1, \
    0, 2, 4, 2, 1, 3, 5, 3, 0, 2, 4, 6, 5, 3, 2, 1, \
    7, 6, 5, 4, 3, 2, 1, 0, 7, 6, 5, 4, 3, 2, 1, 0, \
    0, 4, 2, 5, 1, 6, 2, 4, 0, 4, 3, 5, 2, 6, 1, 7, \
    2, 0, 3, 1, 4, 2, 5, 3, 6, 4, 5, 3, 4, 2, 3, 1

; --- The lead: phrases of (step from the phrase's first bar, length in steps, MIDI note).
; 0 the hook's call (two bars), 1 its open answer (ends on B), 2 the answer that climbs,
; 3 the answer that resolves to A, 4 the breakdown's slow line (four bars), 5 the outro's
; last notes (four bars), 6 the land's answer over Dm-E.
giPhraseFirst[] fillarray 0, 10, 20, 30, 40, 45, 48, 58
giLeadAt[] fillarray \
    0, 2, 4, 7, 10, 12, 16, 18, 20, 23, \
    0, 2, 4, 7, 10, 12, 16, 18, 20, 23, \
    0, 2, 4, 7, 10, 12, 16, 18, 20, 23, \
    0, 2, 4, 7, 10, 12, 16, 18, 20, 23, \
    0, 16, 32, 48, 56, \
    0, 16, 32, \
    0, 2, 4, 7, 10, 12, 16, 18, 20, 23
giLeadLen[] fillarray \
    2, 2, 3, 3, 2, 4, 2, 2, 3, 9, \
    2, 2, 3, 3, 2, 4, 2, 2, 3, 9, \
    2, 2, 3, 3, 2, 4, 2, 2, 3, 9, \
    2, 2, 3, 3, 2, 4, 2, 2, 3, 9, \
    16, 16, 16, 8, 8, \
    15, 15, 32, \
    2, 2, 3, 3, 2, 4, 2, 2, 3, 9
giLeadNote[] fillarray \
    76, 76, 79, 76, 74, 72, 72, 74, 72, 69, \
    76, 76, 79, 76, 74, 72, 74, 76, 74, 71, \
    79, 79, 81, 79, 76, 74, 76, 74, 76, 79, \
    76, 76, 79, 76, 74, 72, 71, 72, 71, 69, \
    72, 74, 71, 72, 69, \
    72, 71, 69, \
    77, 77, 81, 77, 76, 74, 71, 74, 71, 68

; Buses, summed by the instruments and emptied by "Master" every cycle.
gaDryL  init 0
gaDryR  init 0
gaPumpL init 0   ; ducked under the kick
gaPumpR init 0
gaRevL  init 0
gaRevR  init 0
gaDel   init 0   ; the ping-pong delay's input (it starts on the left)
gaSide  init 0   ; the kick's envelope, for the ducking
giLeadBars init 0 ; bars in which the lead plays, counted by "Phrase" for the log

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

; A chord's note: index 0-3 upwards from its root at or above iLowest, 4-7 an octave up.
opcode ChordNote, i, iii
    iChord, iIndex, iLowest xin
    iRoot = iLowest + (giChordRoot[iChord] - iLowest % 12 + 12) % 12
    iKind = giChordKind[iChord]
    iStep = iIndex % 4
    iUp = 0
    if iStep == 1 then
        iUp = giKindThird[iKind]
    elseif iStep == 2 then
        iUp = 7
    elseif iStep == 3 then
        iUp = giKindTop[iKind]
    endif
    xout iRoot + iUp + 12 * int(iIndex / 4)
endop

; Schedules a phrase of the lead from time iT: up to iNotes notes, transposed.
opcode Phrase, 0, iiiiii
    iT, iPhrase, iNotes, iTranspose, iAmp, iCut xin
    iK = giPhraseFirst[iPhrase]
    iLast = min(giPhraseFirst[iPhrase + 1], iK + iNotes)
    iEnd = 0
    while iK < iLast do
        iEnd = max(iEnd, giLeadAt[iK] + giLeadLen[iK])
        schedule "Lead", iT + giLeadAt[iK] * giStepSeconds, giLeadLen[iK] * giStepSeconds - 0.03, \
                 iAmp, giLeadNote[iK] + iTranspose, iCut
        iK += 1
    od
    giLeadBars = giLeadBars + ceil(iEnd / 16)
endop

; Writes the arrangement: one pass over every bar and step of the song. Every time is early
; by the limiter's look-ahead (none can be before 0).
instr Song
    iSongBars = giSectionBar[lenarray(giSectionBar) - 1]
    iLeadBars = 0
    iBar = 0
    while iBar < iSongBars do
        iSec = 0
        while giSectionBar[iSec + 1] <= iBar do
            iSec += 1
        od
        iIn   = iBar - giSectionBar[iSec]
        iLen  = giSectionBar[iSec + 1] - giSectionBar[iSec]
        iLast = (iIn == iLen - 1 ? 1 : 0)
        iT    = max(0, iBar * giBarSeconds - giLookahead)
        iChord = giProg[iSec * 8 + iIn]
        iSweep = (iLen > 1 ? iIn / (iLen - 1) : 0)

        ; Which parts play in this bar, beyond the section's table.
        iKick = giKickLvl[iSec]
        iHalf = giKickHalf[iSec]
        iClap = giClapLvl[iSec]
        iHatMode = giHatMode[iSec]
        iHat = giHatLvl[iSec]
        iRide = giRideLvl[iSec]
        iBassLvl = giBassLvl[iSec]
        iBassPat = giBassPat[iSec]
        iArp  = giArpLvl[iSec]
        iArp8 = giArpEighths[iSec]
        iFill = (iLast == 1 ? giFill[iSec] : 0)
        iEighthRoll = (iIn == iLen - 2 && giFill[iSec] == 5 ? 1 : 0)
        if iSec == 0 then                    ; the opening builds up bar by bar
            iKick = (iIn >= 4 ? iKick : (iIn >= 2 ? 0.35 : 0))
            iHat  = (iIn >= 2 ? iHat * (iIn >= 4 ? 1 : 0.6) : 0)
            iHatMode = (iIn >= 4 ? 4 : 2)
            iArp  = iArp * (0.5 + 0.5 * iSweep)
            iBassPat = (iIn >= 4 ? 2 : 0)
        elseif iSec == 3 then                ; breakdown: no low end, ticks under the build
            iKick = 0
            iHat  = (iIn >= 3 ? iHat : 0)
        elseif iSec == 9 then                ; greetings: the half-time kick and hats come in
            iKick = (iIn >= 2 ? iKick : 0.3)
            iHat  = (iIn >= 2 ? iHat : 0)
        elseif iSec == 10 && iIn >= 4 then   ; the outro's drums stop after four bars
            iKick = (iIn < 6 ? 0.3 : 0)
            iClap = 0
            iHat  = 0
            iBassPat = 0
            iArp  = iArp * (1 - 0.15 * (iIn - 4))
        endif

        ; Section starts: crash and (under a flash) a boom; the risers end on them.
        if iIn == 0 && iSec > 0 then
            schedule "Crash", iT, 3.5, 0.3
        endif
        if iIn == 0 && giImpact[iSec] == 1 then
            schedule "Impact", iT, 2.5, 0.45
        endif
        if iIn == 4 && iLen == 8 then        ; the middle of an eight-bar section
            schedule "Crash", iT, 3, 0.2
        endif
        if iSec == 0 && iIn == 4 then
            schedule "Riser", iT, 4 * giBarSeconds, 0.22
        elseif iSec == 3 && iIn == 4 then
            schedule "Riser", iT, 2 * giBarSeconds, 0.16
        elseif iSec == 6 && iIn == 2 then
            schedule "Riser", iT, 4 * giBarSeconds, 0.26
        elseif iSec == 9 && iIn == 6 then
            schedule "Riser", iT, 2 * giBarSeconds, 0.16
        endif

        ; Pad: one chord a bar, overlapping the next.
        iPadCut = giPadCut[iSec] + (giPadCutEnd[iSec] - giPadCut[iSec]) * iSweep
        schedule "Pad", iT, giBarSeconds, 0.22 * giPadLvl[iSec], iChord, iPadCut

        ; Bass: low root (G1 to F#2) and its fifth.
        iRoot = ChordNote(iChord, 0, 31)
        iBassCut = giBassCut[iSec] + (giBassCutEnd[iSec] - giBassCut[iSec]) * iSweep

        ; Lead: the hook and its answers, section by section.
        iLeadAmp = 0.36
        if iSec == 0 && iIn == 4 then
            Phrase iT, 0, 10, 0, iLeadAmp * 0.45, 1300
        elseif iSec == 0 && iIn == 6 then
            Phrase iT, 0, 6, 0, iLeadAmp * 0.55, 1800
        elseif iSec == 2 && iIn == 0 then
            Phrase iT, 0, 10, 0, iLeadAmp * 0.75, 3500
        elseif iSec == 2 && iIn == 2 then
            Phrase iT, 1, 10, 0, iLeadAmp * 0.75, 3500
        elseif iSec == 3 && iIn == 0 then
            Phrase iT, 4, 10, 0, iLeadAmp * 0.55, 1800
        elseif iSec == 4 && iIn == 0 then
            Phrase iT, 0, 10, 0, iLeadAmp * 0.9, 5000
        elseif iSec == 4 && iIn == 2 then
            Phrase iT, 1, 10, 0, iLeadAmp * 0.9, 5000
        elseif iSec == 4 && iIn == 4 then
            Phrase iT, 2, 10, 0, iLeadAmp * 0.9, 5000
        elseif iSec == 7 && (iIn == 0 || iIn == 4) then
            Phrase iT, 0, 10, 2, iLeadAmp * 1.2, 7000
        elseif iSec == 7 && iIn == 2 then
            Phrase iT, 2, 10, 2, iLeadAmp * 1.2, 7000
        elseif iSec == 7 && iIn == 6 then
            Phrase iT, 3, 10, 2, iLeadAmp * 1.2, 7000
        elseif iSec == 8 && (iIn == 0 || iIn == 4) then
            Phrase iT, 0, 10, -12, iLeadAmp * 0.95, 3500
        elseif iSec == 8 && iIn == 2 then
            Phrase iT, 1, 10, -12, iLeadAmp * 0.95, 3500
        elseif iSec == 8 && iIn == 6 then
            Phrase iT, 6, 10, -12, iLeadAmp * 0.95, 3500
        elseif iSec == 9 && iIn == 4 then
            Phrase iT, 0, 10, 0, iLeadAmp * 0.5, 2000
        elseif iSec == 9 && iIn == 6 then
            Phrase iT, 3, 10, 0, iLeadAmp * 0.5, 2000
        elseif iSec == 10 && iIn == 0 then
            Phrase iT, 0, 10, 0, iLeadAmp * 0.7, 3000
        elseif iSec == 10 && iIn == 2 then
            Phrase iT, 3, 10, 0, iLeadAmp * 0.7, 3000
        elseif iSec == 10 && iIn == 4 then
            Phrase iT, 5, 10, 0, iLeadAmp * 0.6, 2200
        endif

        iStep = 0
        while iStep < 16 do
            it = max(0, iT + iStep * giStepSeconds)
            iBeat = (iStep % 4 == 0 ? 1 : 0)
            iOff  = (iStep % 4 == 2 ? 1 : 0)
            ; Fills replace the drums of the bar's second half (or its last beat).
            iRolling = 0
            iTom = 0
            iBreak = 0
            if iFill == 1 && iStep >= 8 then
                iRolling = 1
            elseif iFill == 2 && iStep >= 12 then
                iRolling = 1
            elseif iFill == 3 && iStep >= 8 then
                iTom = 1
            elseif iFill == 4 && iStep >= 8 then
                iBreak = 1
            elseif iFill == 5 then
                iRolling = 1
            elseif iEighthRoll == 1 && iStep % 2 == 0 then
                iRolling = 1
            endif
            iDrums = (iRolling == 1 || iTom == 1 || iBreak == 1 ? 0 : 1)
            if iEighthRoll == 1 then
                iDrums = 1
            endif
            if iFill == 5 && iStep < 8 then  ; the build's last bar keeps its first half
                iDrums = 1
            endif
            ; and its kick on every beat under the roll: the beat stays firm into the next one.
            iKicking = (iDrums == 1 || iFill == 5 ? 1 : 0)

            if iKicking == 1 && iKick > 0 && ((iHalf == 0 && iBeat == 1) || (iHalf == 1 && iStep % 8 == 0)) then
                schedule "Kick", it, 0.3, 0.7 * iKick
            endif
            if iDrums == 1 && (iStep == 4 || iStep == 12) && iClap > 0 && iRolling == 0 then
                schedule "Clap", it, 0.35, 0.42 * iClap, frac(it * 0.1234 + 0.31)
            endif
            if iRolling == 1 && (iClap > 0 || iSec == 0 || iSec == 3 || iSec == 6) then
                iRollAt = (iFill == 5 ? iStep / 16 : 0.5)
                if iEighthRoll == 1 then
                    iRollAt = 0
                endif
                schedule "Clap", it, 0.2, 0.34 * (0.3 + 0.7 * iRollAt), frac(it * 0.377 + 0.11)
            endif
            if iTom == 1 && iStep % 2 == 0 then
                schedule "Tom", it, 0.35, 0.45, 180 - 10 * (iStep - 8)
            elseif iTom == 1 && iStep == 15 then
                schedule "Tom", it, 0.35, 0.35, 95
            endif
            if iBreak == 1 && iStep == 8 then
                schedule "Swell", it, 1, 0.18
            endif

            ; Hats: the step's part of the section's pattern, panned off the middle.
            iHatPan = (iStep % 8 < 4 ? 0.3 : 0.7)
            if iDrums == 1 && iHat > 0 then
                if (iHatMode == 1 || iHatMode == 4) && iOff == 1 then
                    schedule "Hat", it, 0.09, 0.11 * iHat, 0.05, iHatPan, frac(it * 0.291 + 0.4)
                elseif iHatMode == 3 && iOff == 1 then
                    schedule "Hat", it, 0.22, 0.09 * iHat, 0.13, iHatPan, frac(it * 0.411 + 0.2)
                elseif (iHatMode == 2 || iHatMode == 4) && iOff == 0 then
                    iAccent = (iBeat == 1 ? 1 : 0.55)
                    schedule "Hat", it, 0.05, 0.1 * iHat * iAccent * random(0.85, 1), 0.025, 1 - iHatPan, frac(it * 0.173 + 0.7)
                endif
            endif
            if iDrums == 1 && iRide > 0 && iBeat == 1 then
                schedule "Ride", it, 0.8, 0.1 * iRide, frac(it * 0.219 + 0.5)
            endif

            ; Bass.
            iBassStep = giBassSteps[iBassPat * 16 + iStep]
            if iBassLvl > 0 && iBassStep > 0 then
                ; The fifth above, or below where above would reach into the low middle.
                iFifth = (iRoot + 7 <= 43 ? iRoot + 7 : iRoot - 5)
                iBassNote = (iBassStep == 2 ? iFifth : iRoot)
                if iBassPat == 0 then
                    schedule "Bass", it, giBarSeconds - 0.05, 0.2 * iBassLvl, iBassNote, iBassCut, 1
                else
                    iBassLen = (iBassPat == 2 ? 2 : 1) * giStepSeconds - 0.01
                    schedule "Bass", it, iBassLen, 0.15 * iBassLvl * (iOff == 1 ? 0.75 : 1), iBassNote, iBassCut, 1.5
                endif
            endif

            ; Arpeggio: the section's order over the bar's chord, alternating sides.
            if iArp8 == 0 || iStep % 2 == 0 then
                iArpCut = giArpCut[iSec] + (giArpCutEnd[iSec] - giArpCut[iSec]) * (iIn * 16 + iStep) / (iLen * 16)
                iArpAmp = 0.12 * iArp * (iBeat == 1 ? 1 : 0.55)
                iPos = (iStep % 2 == 0 ? 0.04 : 0.96)
                if iArp8 == 1 then
                    iPos = (iStep % 4 == 0 ? 0.04 : 0.96)
                endif
                iArpNote = ChordNote(iChord, giArpOrder[giArpPat[iSec] * 16 + iStep], giArpBase[iSec])
                schedule "Arp", it, (iArp8 == 1 ? 0.4 : 0.2), iArpAmp, iArpNote, iArpCut, iPos
            endif
            iStep += 1
        od
        iBar += 1
    od
    printf_i "lead plays in %d of %d bars\n", 1, giLeadBars, iSongBars
endin

; Sine kick with a falling pitch, a bright click and the envelope the ducking follows.
instr Kick
    afreq expseg 260, 0.015, 95, 0.06, 52, p3 - 0.075, 45
    aamp  expseg 1, 0.04, 0.4, p3 - 0.04, 0.001
    abody poscil 1, afreq
    abody = tanh(abody * 2) * 0.8
    anoise rand 1, 0.3
    aclick butterhp anoise, 1500
    aclickAmp expseg 1, 0.006, 0.001, p3 - 0.006, 0.0001
    aout = (abody * aamp + aclick * aclickAmp * 0.7) * p4
    gaDryL += aout
    gaDryR += aout
    aside expseg 1, 0.15, 0.001, p3 - 0.15, 0.001
    gaSide += aside * (p4 > 0.4 ? 1 : 0)
endin

; Tom: a shorter, higher kick for the fills. p4 amplitude, p5 pitch (Hz)
instr Tom
    afreq expseg p5 * 1.6, 0.02, p5, p3 - 0.02, p5 * 0.8
    aamp expseg 1, p3, 0.001
    abody poscil 1, afreq
    anoise rand 1, 0.61
    anoise butterbp anoise, p5 * 4, p5 * 3
    aout = (abody + anoise * 0.3 * aamp) * aamp * p4
    aL, aR Pan aout, 0.3 + (p5 - 95) / 250
    gaDryL += aL
    gaDryR += aR
    gaRevL += aL * 0.2
    gaRevR += aR * 0.2
endin

; Clap and snare in one: three bursts of band-passed noise, a tail and a short tone.
; p4 amplitude, p5 noise seed (0..1)
instr Clap
    anoise rand 1, p5
    aband butterbp anoise, 1500, 1200
    abursts linseg 1, 0.009, 0.1, 0.001, 1, 0.009, 0.1, 0.001, 1, 0.009, 0.1, p3 - 0.029, 0
    atail linseg 0, 0.02, 0, 0.001, 1, p3 - 0.021, 0
    atail = atail * atail * atail
    asnare poscil 1, 190
    asnareAmp expseg 1, 0.05, 0.001, p3 - 0.05, 0.001
    aout = (aband * (abursts * 0.8 + atail * 0.9) + asnare * asnareAmp * 0.3) * p4
    ; A slightly later right side widens it.
    aR delay aout, 0.007
    gaDryL += aout
    gaDryR += aR
    gaRevL += aout * 0.25
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

; Ride: a metallic ring of detuned squares over bright noise. p4 amplitude, p5 noise seed
instr Ride
    a1 vco2 1, 3120, 10
    a2 vco2 1, 4355, 10
    a3 vco2 1, 5970, 10
    anoise rand 1, p5
    ametal butterhp (a1 + a2 + a3) * 0.3 + anoise * 0.6, 6000
    aamp expseg 1, 0.01, 0.5, p3 - 0.01, 0.001
    aL, aR Pan ametal * aamp * p4, 0.72
    gaDryL += aL
    gaDryR += aR
    gaRevL += aL * 0.15
    gaRevR += aR * 0.15
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

; Impact: a sine falling from 90 Hz to 28 Hz over rumbling low noise. p4 amplitude
instr Impact
    afreq expseg 90, 0.05, 50, p3 - 0.05, 28
    aamp  expseg 0.001, 0.005, 1, 0.1, 0.6, p3 - 0.105, 0.001
    asub poscil 1, afreq
    anoise rand 1, 0.57
    kcut expseg 2500, p3, 80
    arumble butterlp anoise, kcut
    aout = (asub * 0.8 + arumble * 0.4) * aamp * p4
    gaDryL += aout
    gaDryR += aout
    gaRevL += aout * 0.3
    gaRevR += aout * 0.3
endin

; Riser: noise through a band-pass sweeping up for the whole note. p4 amplitude
instr Riser
    anoiseL rand 1, 0.47
    anoiseR rand 1, 0.83
    kcut expseg 300, p3, 9000
    aL butterbp anoiseL, kcut, kcut * 0.3
    aR butterbp anoiseR, kcut * 1.05, kcut * 0.3
    kamp expseg 0.02, p3 * 0.95, 1, p3 * 0.05, 0.5
    gaDryL += aL * kamp * p4
    gaDryR += aR * kamp * p4
    gaRevL += aL * kamp * p4 * 0.4
    gaRevR += aR * kamp * p4 * 0.4
endin

; Swell: a reversed-crash sweep into the next bar, for the breaks. p4 amplitude
instr Swell
    anoiseL rand 1, 0.37
    anoiseR rand 1, 0.91
    aL butterhp anoiseL, 3000
    aR butterhp anoiseR, 3000
    kamp expseg 0.001, p3, 1
    gaDryL += aL * kamp * p4
    gaDryR += aR * kamp * p4
endin

; Bass: two detuned saws and a sine an octave below through a ladder filter that opens at
; the attack. p4 amplitude, p5 MIDI note, p6 cut-off (Hz), p7 filter envelope depth
instr Bass
    ifreq = cpsmidinn(p5)
    asaw1 vco2 1, ifreq
    asaw2 vco2 1, ifreq * 1.006
    asub poscil 1, ifreq
    kenv linseg 0, 0.015, 1, p3 - 0.035, 0.7, 0.02, 0
    kopen expseg 1, 0.08, 0.01, p3 - 0.08, 0.01
    kcut limit p6 * (1 + p7 * kopen), 30, 12000
    ; One saw a side: the sine holds the middle, the overtones spread.
    afiltL moogladder asaw1, kcut, 0.3
    afiltR moogladder asaw2, kcut, 0.3
    gaPumpL += (afiltL * 0.6 + asub * 0.5) * kenv * p4
    gaPumpR += (afiltR * 0.6 + asub * 0.5) * kenv * p4
endin

; Pad: the chord's four notes in the upper middle, as detuned saw pairs, the left and right
; sides detuned apart; high-passed so it leaves the low middle to the bass.
; p4 amplitude, p5 chord, p6 cut-off (Hz)
instr Pad
    iRelease = 1.2
    xtratim iRelease
    i1 = cpsmidinn(ChordNote(p5, 0, 62))
    i2 = cpsmidinn(ChordNote(p5, 1, 62))
    i3 = cpsmidinn(ChordNote(p5, 2, 62))
    i4 = cpsmidinn(ChordNote(p5, 3, 62))
    iDetune = 1.006
    ; The first and third notes lean left, the others right: the sides differ.
    aL = vco2(1, i1) + 0.15 * vco2(1, i2 * iDetune) + vco2(1, i3 / iDetune) + 0.15 * vco2(1, i4 * iDetune)
    aR = 0.15 * vco2(1, i1 * iDetune) + vco2(1, i2 / iDetune) + 0.15 * vco2(1, i3 * iDetune) + vco2(1, i4)
    kcut = p6 * (1 + 0.25 * lfo(1, 0.25))
    aL moogladder aL * 0.25, kcut, 0.2
    aR moogladder aR * 0.25, kcut * 1.05, 0.2
    aL butterhp aL, 280
    aR butterhp aR, 280
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
    afilt butterhp afilt, 200
    aL, aR Pan afilt * kamp * p4, p7
    gaPumpL += aL
    gaPumpR += aR
    gaDel += (aL + aR) * 0.3
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
    kenv linsegr 0, 0.035, 1, 0.15, 0.8, p3, 0.8, 0.2, 0
    aL moogladder (a1 + a2 * 0.8 + a4) * 0.4, p6, 0.25
    aR moogladder (a1 + a3 * 0.8 + a4) * 0.4, p6, 0.25
    gaDryL += aL * kenv * p4
    gaDryR += aR * kenv * p4
    gaDel += (aL + aR) * kenv * p4 * 0.15
    gaRevL += aL * kenv * p4 * 0.3
    gaRevR += aR * kenv * p4 * 0.3
endin

; Reverb, the ping-pong delay, the ducking, the limiter and the final fade.
instr Master
    arevL, arevR reverbsc gaRevL, gaRevR, 0.85, 9000
    ; Ping-pong: the input enters the left line only; each line feeds the other, so the
    ; echoes alternate left, right, left.
    atapR init 0
    abufL delayr 1
    atapL deltap giDelaySeconds
          delayw gaDel + atapR * 0.45
    abufR delayr 1
    atapR deltap giDelaySeconds - ksmps / sr   ; its feedback arrives one cycle late
          delayw atapL
    aduck = 1 - 0.2 * limit(gaSide, 0, 1)
    aL = gaDryL + gaPumpL * aduck + arevL * 0.55 + atapL * 0.5
    aR = gaDryR + gaPumpR * aduck + arevR * 0.55 + atapR * 0.5
    aL dcblock aL
    aR dcblock aR
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

    ; The limiter's mean gain reduction in each bar, for the log.
    kgain downsamp again
    kReduction = -dbamp(kgain)
    kBar = int(timeinsts() / giBarSeconds)
    kSum init 0
    kCount init 0
    kShown init 0
    if kBar > kShown then
        printf "limiter bar %d: %.3f dB\n", kBar, kShown + 1, kSum / kCount
        kShown = kBar
        kSum = 0
        kCount = 0
    endif
    kSum += kReduction
    kCount += 1

    clear gaDryL, gaDryR, gaPumpL, gaPumpR, gaRevL, gaRevR, gaDel, gaSide
    ; The song stops here, tails or not: the show ends at this time.
    if timeinsts() >= giSongSeconds - 0.5 * ksmps / sr then
        printf "limiter bar %d: %.3f dB\n", 1, kShown + 1, kSum / kCount
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
