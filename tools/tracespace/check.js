#!/usr/bin/env node
// Reads one Gerber or Excellon file with the tracespace parser and plotter
// (gerber-to-svg), a reader that follows the current Gerber standard
// strictly, and reports what it found.
//
//   node check.js FILE [--svg OUT.svg --window X,Y,W,H --pixels W,H]
//
// Prints one JSON line: the file type, its units and the warnings. Each
// warning also goes to stderr. With --svg the picture is written as SVG,
// black on white, showing the window of the plane given in millimetres
// (X, Y the lower-left corner, y up) at the given size in pixels.
// Exit codes: 0 read without a warning, 1 read with warnings, 2 not read.
'use strict'

const fs = require('fs')
const gerberToSvg = require('gerber-to-svg')

function usage(message) {
  process.stderr.write('check.js: ' + message + '\n')
  process.stderr.write('usage: node check.js FILE [--svg OUT.svg --window X,Y,W,H --pixels W,H]\n')
  process.exit(2)
}

function numbers(text, count, what) {
  const values = String(text).split(',').map(Number)
  if (values.length !== count || values.some(v => !Number.isFinite(v))) usage('bad ' + what + ': ' + text)
  return values
}

const args = process.argv.slice(2)
if (args.length < 1) usage('no file given')
const file = args[0]
const options = {}
for (let i = 1; i < args.length; i += 2) {
  if (i + 1 >= args.length) usage('option ' + args[i] + ' needs a value')
  options[args[i]] = args[i + 1]
}
const svgOut = options['--svg']
const window = svgOut ? numbers(options['--window'], 4, '--window') : null
const pixels = svgOut ? numbers(options['--pixels'], 2, '--pixels') : null

let text
try {
  text = fs.readFileSync(file, 'utf8')
} catch (e) {
  usage('cannot read ' + file + ': ' + e.message)
}

const warnings = []
const converter = gerberToSvg(text, {id: 'layer'}, (error) => {
  if (error) {
    process.stderr.write('error: ' + error.message + '\n')
    process.exit(2)
  }
  const units = converter.units || (converter.plotter && converter.plotter.format && converter.plotter.format.units) || ''
  if (svgOut) {
    // The plotter's numbers are thousandths of the file's unit, y up; the
    // SVG's y runs down, so the layer is turned over about the x axis.
    const scale = units === 'in' ? 1000 / 25.4 : 1000
    const [x, y, w, h] = window
    const viewBox = [x * scale, -(y + h) * scale, w * scale, h * scale].join(' ')
    const defs = converter.defs.length ? '<defs>' + converter.defs.join('') + '</defs>' : ''
    const svg =
      '<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" version="1.1"' +
      ' stroke-linecap="round" stroke-linejoin="round" stroke-width="0" fill-rule="evenodd"' +
      ' color="#000000" width="' + pixels[0] + '" height="' + pixels[1] + '" viewBox="' + viewBox + '">' +
      '<rect x="' + x * scale + '" y="' + -(y + h) * scale + '" width="' + w * scale + '" height="' + h * scale +
      '" fill="#ffffff"/>' + defs +
      '<g transform="scale(1,-1)" fill="currentColor" stroke="currentColor">' + converter.layer.join('') + '</g></svg>\n'
    fs.writeFileSync(svgOut, svg)
  }
  process.stdout.write(JSON.stringify({filetype: converter.filetype, units: units, warnings: warnings}) + '\n')
  process.exit(warnings.length ? 1 : 0)
})
converter.on('warning', (w) => {
  const message = 'line ' + w.line + ': ' + w.message
  warnings.push(message)
  process.stderr.write('warning: ' + message + '\n')
})
