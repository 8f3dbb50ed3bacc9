// One wave device's sound on its way to the speakers: the 16-bit frames the
// program sends, queued in the chunks they came in, played in order and counted
// as played. Where the sink runs out it plays silence and counts nothing, so the
// count is what was really heard.
//
// Loaded twice by the page: into the AudioContext's worklet, where it registers
// the processor 'orvella-wave-sink', and as a plain script, for the
// ScriptProcessor that stands in where no worklet can be had (a page not served
// from a secure origin).
class OrvellaWaveSink {
  // `recordFrames`: keep a copy of the first that many frames played (for tests).
  constructor(channels, recordFrames) {
    this.channels = channels;
    this.chunks = [];
    this.offset = 0;   // frames of chunks[0] already played
    this.played = 0;
    this.starved = 0;  // frames of silence played for want of sound, since the last look
    this.epoch = 0;
    this.paused = false;
    this.recording = recordFrames > 0 ? new Int16Array(recordFrames * channels) : null;
    this.recorded = 0;
  }

  handle(message) {
    if (message.kind === 'samples') {
      this.chunks.push(message.samples);
    } else if (message.kind === 'pause') {
      this.paused = message.paused;
    } else if (message.kind === 'flush') {
      this.chunks = [];
      this.offset = 0;
      this.played = 0;
      this.epoch = message.epoch;
    }
  }

  // Fills both channels (a mono sink on both); returns how many of the frames
  // played are not silent.
  render(left, right) {
    const stereo = this.channels === 2;
    let at = 0;
    let audible = 0;
    while (!this.paused && at < left.length && this.chunks.length) {
      const chunk = this.chunks[0];
      const frames = chunk.length / this.channels;
      const take = Math.min(left.length - at, frames - this.offset);
      for (let k = 0; k < take; k++) {
        const i = (this.offset + k) * this.channels;
        const l = chunk[i];
        const r = stereo ? chunk[i + 1] : l;
        left[at + k] = l / 32768;
        right[at + k] = r / 32768;
        if (l !== 0 || r !== 0) audible++;
      }
      if (this.recording && this.recorded < this.recording.length) {
        const from = this.offset * this.channels;
        const part = chunk.subarray(from, Math.min(from + take * this.channels, from + this.recording.length - this.recorded));
        this.recording.set(part, this.recorded);
        this.recorded += part.length;
      }
      at += take;
      this.offset += take;
      if (this.offset === frames) {
        this.chunks.shift();
        this.offset = 0;
      }
    }
    left.fill(0, at);
    right.fill(0, at);
    // Silence counts as starved once sound has played, until a flush.
    if (!this.paused && this.played > 0) this.starved += left.length - at;
    this.played += at;
    return audible;
  }
}

if (typeof registerProcessor === 'function') {
  // Reports go back about every 12 ms while sound plays: finer than the
  // players look (20 ms blocks, 160 ms buffers), and few messages.
  const quanta_per_report = 4;

  registerProcessor('orvella-wave-sink', class extends AudioWorkletProcessor {
    constructor(options) {
      super();
      const settings = options.processorOptions;
      this.sink = new OrvellaWaveSink(settings.channels, settings.recordFrames || 0);
      this.recordingSent = false;
      this.open = true;
      this.quanta = 0;
      this.audible = 0;
      this.reported = 0;
      this.port.onmessage = (event) => {
        if (event.data.kind === 'close') this.open = false;
        else this.sink.handle(event.data);
        if (event.data.kind === 'flush') this.reported = 0;
      };
    }

    process(inputs, outputs) {
      const out = outputs[0];
      this.audible += this.sink.render(out[0], out[1] || out[0]);
      this.quanta += 1;
      const sink = this.sink;
      if (this.quanta >= quanta_per_report && sink.played !== this.reported) {
        this.port.postMessage({epoch: sink.epoch, played: sink.played, audible: this.audible, starved: sink.starved});
        this.reported = sink.played;
        this.audible = 0;
        this.quanta = 0;
        sink.starved = 0;
      }
      if (sink.recording && !this.recordingSent && (sink.recorded === sink.recording.length || !this.open)) {
        this.port.postMessage({recording: sink.recording.subarray(0, sink.recorded), channels: sink.channels});
        this.recordingSent = true;
      }
      return this.open;
    }
  });
} else {
  globalThis.OrvellaWaveSink = OrvellaWaveSink;
}
