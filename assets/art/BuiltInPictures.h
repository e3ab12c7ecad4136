#pragma once
// The pictures built into the program. vf-makeart draws them at build time and
// rcc compiles them into the engine as Qt resources:
//
//   :/pictures/terrain/<code>.png    terrain codes 0..70, 25 x 25, opaque
//   :/pictures/buildings/<code>.png  building types 0..19, 25 x 25, opaque,
//                                    each on its own floor plate
//   :/pictures/window/<name>.png     the battle window's pictures:
//       halo0  25 x 27  green corner brackets on black (the selected unit)
//       halo1  25 x 27  the mask shared by halo0, halo2 and halo3
//       halo2  25 x 27  red brackets (the target)
//       halo3  25 x 27  near-white brackets (the cursor)
//       halo4  25 x 25  pure red, painted with OR over the fire range
//       menu0, menu1         793 x 99  side panel and its mask
//       unitbox0, unitbox1    54 x 47  unit box and its mask
//       arrow0, arrow1        19 x 14  menu pointer and its mask
//       time0, time1          79 x 83  clock and its mask
//       options0             230 x 176 main-menu panel, opaque
//       options2             230 x 400 build-menu panel, opaque
//       damagebar0..3   lit large 22 x 42, lit small 20 x 23,
//                       unlit large 22 x 42, unlit small 20 x 23
//
// A picture with a mask is drawn on black; its mask is black exactly where
// the picture is not black and white elsewhere.
//
// How the terrain pieces join (rows top to bottom):
//   platform rim around a floor plate   1 7 2 / 5 0 6 / 3 8 4
//   inner rim corners, a round hole of space at their middle   20 21 / 19 22
//       (20 has space at its bottom-right corner, 21 bottom-left,
//        19 top-right, 22 top-left; they also turn inner corners of a rim)
//   raised plateau (18 its top, repeating)   16 15 14 / 17 18 13 / 10 11 12
//   raised block 61 62 / 63 64; rough ground 48 49 / 50 51;
//   vent block 54 55 / 56 57; decorated plates 65 66 67 / 68 69 70
//   fortified block (37 its yard, repeating)   38 39 40 / 41 37 44 / 45 46 47
//   ground (23 repeating)   26 31 24 / 33 23 32 / 27 30 25; 29 above 28
//   ramps rise toward: 34 the top, 35 the bottom, 36 the left, 60 the right
//   single tiles: 9 space, 42 and 43 debris, 52 pad floor, 53 hazard pad,
//   58 and 59 conduits running down and across

// Makes the resources available. Call once at start-up, before the first
// picture is loaded: the engine is a static library, and without this call
// the linker leaves the pictures out.
void initBuiltInPictures();
