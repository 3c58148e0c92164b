#!/bin/bash
# Draws the program's artwork with ImageMagick: tool bar pictograms, button
# glyphs, the program icon and the About window's two JPEG pictures.
# The generated files are committed, so the build itself needs no ImageMagick;
# run this again only after changing a drawing.
set -euo pipefail

cd "$(dirname "$0")/../src/ui/resources"
mkdir -p toolbar glyphs about

# Each helper takes the drawing arguments and, last, the output file.
# PNG without time stamps or other metadata, so a rerun gives the same bytes.
png() { convert "${@:1:$#-1}" -strip -define png:exclude-chunks=date,time,tEXt,zTXt,iTXt "${!#}"; }

# ---- tool bar, 36 x 36 ------------------------------------------------------

# Connect: a plug pushed into a socket, green contact mark.
png -size 36x36 xc:none \
    -stroke '#303030' -strokewidth 3 -fill none -draw 'line 1,18 9,18' \
    -stroke '#202020' -strokewidth 1 -fill '#5a6c80' -draw 'roundrectangle 8,11 18,25 2,2' \
    -fill '#c8a040' -draw 'rectangle 18,13 23,15' -draw 'rectangle 18,21 23,23' \
    -fill '#5a6c80' -draw 'roundrectangle 23,8 31,28 2,2' \
    -stroke '#303030' -strokewidth 3 -fill none -draw 'line 31,18 35,18' \
    -stroke none -fill '#2ca02c' -draw 'circle 27,4 29,4' \
    PNG32:toolbar/connect.png

# Disconnect: the plug pulled out of the socket, red break between them.
png -size 36x36 xc:none \
    -stroke '#303030' -strokewidth 3 -fill none -draw 'line 0,18 5,18' \
    -stroke '#202020' -strokewidth 1 -fill '#5a6c80' -draw 'roundrectangle 4,11 12,25 2,2' \
    -fill '#c8a040' -draw 'rectangle 12,13 16,15' -draw 'rectangle 12,21 16,23' \
    -fill '#5a6c80' -draw 'roundrectangle 25,8 31,28 2,2' \
    -stroke '#303030' -strokewidth 3 -fill none -draw 'line 31,18 35,18' \
    -stroke '#d62728' -strokewidth 2.5 -draw 'polyline 22,5 18,12 23,18 18,24 22,31' \
    PNG32:toolbar/disconnect.png

# Settings: a gear.
png -size 36x36 xc:none \
    -stroke '#2a2a2a' -strokewidth 1 -fill '#7f8c99' \
    -draw 'translate 18,18 rectangle -3,-16 3,16' \
    -draw 'translate 18,18 rotate 45 rectangle -3,-16 3,16' \
    -draw 'translate 18,18 rotate 90 rectangle -3,-16 3,16' \
    -draw 'translate 18,18 rotate 135 rectangle -3,-16 3,16' \
    -draw 'circle 18,18 18,6' \
    -stroke none -fill '#7f8c99' -draw 'circle 18,18 18,7' \
    -stroke '#2a2a2a' -fill '#e8e8e8' -draw 'circle 18,18 18,13' \
    PNG32:toolbar/settings.png

# Exit: an open door with an arrow leaving it.
png -size 36x36 xc:none \
    -stroke '#3a2a1a' -strokewidth 2 -fill none -draw 'rectangle 4,3 20,33' \
    -stroke '#3a2a1a' -strokewidth 1 -fill '#a0703c' -draw 'polygon 4,3 14,7 14,35 4,33' \
    -stroke none -fill '#f0d070' -draw 'circle 12,20 13,20' \
    -stroke '#1f6fbf' -strokewidth 3 -fill none -draw 'line 19,18 30,18' \
    -stroke none -fill '#1f6fbf' -draw 'polygon 35,18 27,11 27,25' \
    PNG32:toolbar/exit.png

# About: a white "i" on a blue disc.
png -size 36x36 xc:none \
    -stroke '#12408a' -strokewidth 1.5 -fill '#2f74d0' -draw 'circle 18,18 18,2' \
    -stroke none -fill white -draw 'circle 18,10 18,7.2' \
    -draw 'roundrectangle 15,14 21,28 1,1' -draw 'rectangle 13,26 23,28' -draw 'rectangle 13,14 18,16' \
    PNG32:toolbar/about.png

# ---- button glyphs, 16 x 16 -------------------------------------------------

# setting: a tick (write the settings).
png -size 16x16 xc:none \
    -stroke '#1c8c2c' -strokewidth 3 -fill none -draw 'polyline 2,8 6,12 14,3' \
    PNG32:glyphs/setting.png

# defaults: an arrow turning back (restore).
png -size 16x16 xc:none \
    -stroke '#1f5fbf' -strokewidth 2 -fill none -draw 'arc 2,2 14,14 200,500' \
    -stroke none -fill '#1f5fbf' -draw 'polygon 0,5 6,5 3,10' \
    PNG32:glyphs/defaults.png

# clear: a red cross.
png -size 16x16 xc:none \
    -stroke '#c82020' -strokewidth 3 -fill none -draw 'line 3,3 13,13' -draw 'line 13,3 3,13' \
    PNG32:glyphs/clear.png

# auto: a clock face (periodic sending).
png -size 16x16 xc:none \
    -stroke '#205080' -strokewidth 1.5 -fill '#ffffff' -draw 'circle 8,8 8,1.5' \
    -stroke '#205080' -strokewidth 1.5 -draw 'line 8,8 8,4' -draw 'line 8,8 11,10' \
    PNG32:glyphs/auto.png

# stop: a red square.
png -size 16x16 xc:none \
    -stroke '#801010' -strokewidth 1 -fill '#d83030' -draw 'rectangle 3,3 12,12' \
    PNG32:glyphs/stop.png

# send: an arrow to the right.
png -size 16x16 xc:none \
    -stroke none -fill '#1c8c2c' -draw 'rectangle 1,6 8,9' -draw 'polygon 8,2 15,7.5 8,13' \
    PNG32:glyphs/send.png

# save: a diskette.
png -size 16x16 xc:none \
    -stroke '#1a2a50' -strokewidth 1 -fill '#3060b0' -draw 'polygon 1,1 13,1 15,3 15,15 1,15' \
    -stroke none -fill '#e8e8e8' -draw 'rectangle 4,2 11,6' \
    -fill '#f8f8f8' -draw 'rectangle 3,9 13,14' \
    -fill '#3060b0' -draw 'rectangle 9,3 10,5' \
    PNG32:glyphs/save.png

# receive: an arrow down into a tray.
png -size 16x16 xc:none \
    -stroke none -fill '#1f5fbf' -draw 'rectangle 6,1 9,7' -draw 'polygon 2,7 13,7 7.5,12' \
    -stroke '#404040' -strokewidth 1.5 -fill none -draw 'polyline 1,10 1,14.5 14,14.5 14,10' \
    PNG32:glyphs/receive.png

# ---- program icon, 64 x 64 --------------------------------------------------
# A converter box: a D-sub serial connector on the left, a round CAN
# connector on the right, two status lights on top.
png -size 64x64 xc:none \
    -stroke '#1c2a3a' -strokewidth 2 -fill '#3f6f9f' -draw 'roundrectangle 10,14 50,50 5,5' \
    -stroke none -fill '#5b8cbf' -draw 'roundrectangle 12,16 48,24 3,3' \
    -fill '#30d050' -draw 'circle 37,20 39,20' -fill '#f0a020' -draw 'circle 44,20 46,20' \
    -stroke '#202020' -strokewidth 1 -fill '#c0c4c8' -draw 'polygon 2,26 12,28 12,44 2,46' \
    -fill '#303030' -draw 'polygon 4,29 10,30 10,42 4,43' \
    -stroke none -fill '#e0c060' \
    -draw 'circle 7,32 7.8,32' -draw 'circle 7,36 7.8,36' -draw 'circle 7,40 7.8,40' \
    -stroke '#202020' -strokewidth 1 -fill '#c0c4c8' -draw 'circle 55,36 55,28.5' \
    -fill '#303030' -draw 'circle 55,36 55,31' \
    -stroke none -fill '#e0c060' -draw 'circle 53.5,34.5 54.3,34.5' -draw 'circle 56.5,37.5 57.3,37.5' \
    -draw 'circle 56.5,34.5 57.3,34.5' -draw 'circle 53.5,37.5 54.3,37.5' \
    -stroke '#e8eef4' -strokewidth 2 -fill none -draw 'line 20,37 38,37' \
    -stroke none -fill '#e8eef4' -draw 'polygon 40,37 35,32 35,42' -draw 'polygon 18,37 23,32 23,42' \
    PNG32:icon.png

# ---- About pictures (JPEG/JFIF) ---------------------------------------------
jpg() { convert "${@:1:$#-1}" -strip -sampling-factor 1x1 -quality 92 "${!#}"; }

# Emblem, 34 x 55: a stylised "V" over a blue column.
jpg -size 34x55 gradient:'#1a3f7a-#6fa8e0' \
    -stroke none -fill white -draw 'polygon 5,10 12,10 17,36 22,10 29,10 19,46 15,46' \
    -fill '#ffd040' -draw 'rectangle 5,50 29,52' \
    JPEG:about/emblem.jpg

# Picture, 118 x 88: a converter module between its two cables.
jpg -size 118x88 gradient:'#dfe8f2-#9fb4cc' \
    -stroke '#202020' -strokewidth 3 -fill none -draw 'bezier 0,70 12,70 14,46 28,46' \
    -draw 'bezier 90,46 104,46 106,24 118,24' \
    -stroke '#1c2a3a' -strokewidth 1.5 -fill '#3f6f9f' -draw 'roundrectangle 28,26 90,66 6,6' \
    -stroke none -fill '#5b8cbf' -draw 'roundrectangle 31,29 87,38 3,3' \
    -fill '#30d050' -draw 'circle 74,33 76,33' -fill '#f0a020' -draw 'circle 81,33 83,33' \
    -stroke '#202020' -strokewidth 1 -fill '#c0c4c8' -draw 'polygon 20,38 29,40 29,54 20,56' \
    -draw 'circle 94,46 94,39' \
    -stroke '#e8eef4' -strokewidth 2 -fill none -draw 'line 42,52 74,52' \
    -stroke none -fill '#e8eef4' -draw 'polygon 78,52 72,47 72,57' -draw 'polygon 38,52 44,47 44,57' \
    -fill '#2a3a4a' -draw 'rectangle 0,80 118,88' \
    JPEG:about/picture.jpg

